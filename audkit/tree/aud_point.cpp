#include "audkit/tree/aud_point.hpp"

#include <nlohmann/json.hpp>

#include "audkit/base/float_format.hpp"
#include "audkit/base/json_numbers.hpp"

namespace audkit {

AudPoint AudPoint::fromFloats(float x, float y) { return {truncateToInt64(x), truncateToInt64(y)}; }

std::string AudPoint::description() const {
    return "AudPoint(x: " + std::to_string(x) + ", y: " + std::to_string(y) + ")";
}

void to_json(Json& json, const AudPoint& point) { json = Json{{"x", point.x}, {"y", point.y}}; }

void from_json(const Json& json, AudPoint& point) {
    point = AudPoint(integerAt(json, "x"), integerAt(json, "y"));
}

}  // namespace audkit
