#pragma once

#include <cstdint>

#include "audkit/base/error.hpp"
#include "audkit/base/json.hpp"

namespace audkit {

// The member `key` of a JSON object as a 64-bit integer. A number with a
// fraction, or beyond 64 bits, throws an Error naming the member: converting
// it would be undefined behaviour, not a value. A missing member throws the
// JSON library's out_of_range like `at`.
std::int64_t integerAt(const Json& object, const char* key);

}  // namespace audkit
