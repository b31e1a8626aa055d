#pragma once

#include <cstdint>
#include <string>

#include "audkit/base/json.hpp"

namespace audkit {

struct AudPoint {
    std::int64_t x = 0;
    std::int64_t y = 0;

    AudPoint() = default;
    AudPoint(std::int64_t x, std::int64_t y) : x(x), y(y) {}
    // Each coordinate truncated toward zero (saturating beyond the 64-bit range).
    static AudPoint fromFloats(float x, float y);

    std::string description() const;
    bool operator==(const AudPoint&) const = default;
};

void to_json(Json& json, const AudPoint& point);
void from_json(const Json& json, AudPoint& point);

}  // namespace audkit
