#pragma once

#include <string>

#include "audkit/base/aud_rect.hpp"
#include "audkit/base/json.hpp"

namespace audkit {

// A target that crowds a control: its class name and bounds.
struct AudTargetSpacing {
    std::string className;
    AudBounds boundsInScreen;
    bool operator==(const AudTargetSpacing&) const = default;
};

// "className" and "boundsInScreen".
void to_json(Json& json, const AudTargetSpacing& spacing);
void from_json(const Json& json, AudTargetSpacing& spacing);

}  // namespace audkit
