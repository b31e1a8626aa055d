#pragma once

#include "audkit/base/aud_enum.hpp"
#include "audkit/base/json.hpp"

namespace audkit {

enum class AudOrientation : unsigned { all = 0, portrait = 1, landscape = 2 };

template <>
struct AudEnumTraits<AudOrientation> {
    static constexpr std::string_view typeName = "AudOrientation";
    static constexpr std::array<std::pair<AudOrientation, std::string_view>, 3> cases{{
        {AudOrientation::all, "All"},
        {AudOrientation::portrait, "Portrait"},
        {AudOrientation::landscape, "Landscape"},
    }};
};

// One string, "All", "Portrait" or "Landscape"; reading fails with AudEnumError.
void to_json(Json& json, const AudOrientation& orientation);
void from_json(const Json& json, AudOrientation& orientation);

}  // namespace audkit
