#include "audkit/tree/aud_target_spacing.hpp"

#include <nlohmann/json.hpp>

namespace audkit {

void to_json(Json& json, const AudTargetSpacing& spacing) {
    json = Json::object();
    json["className"] = spacing.className;
    json["boundsInScreen"] = spacing.boundsInScreen;
}

void from_json(const Json& json, AudTargetSpacing& spacing) {
    spacing.className = json.at("className").get<std::string>();
    spacing.boundsInScreen = json.at("boundsInScreen").get<AudBounds>();
}

}  // namespace audkit
