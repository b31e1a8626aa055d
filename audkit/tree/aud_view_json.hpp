#pragma once

#include <cstddef>
#include <memory>

#include "audkit/base/json.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {

// Views nested deeper than this are refused by the JSON form (with
// AudViewError::tooDeep) rather than risking the stack.
inline constexpr std::size_t maxJsonViewDepth = 1000;

// The view object: fixed members, the recorded properties at the top level,
// "children" and "calculatedProps".
Json viewToJson(const AudView& view);
// Reads a view object and its children; throws on a missing required member,
// an unknown role or element type, or a property that cannot be read.
std::shared_ptr<AudView> viewFromJson(const Json& json);

}  // namespace audkit
