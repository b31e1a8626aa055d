#pragma once

#include "audkit/base/aud_enum.hpp"

namespace audkit {

enum class AudRole : int { textElement = 0, control = 1, image = 2, genericElement = 3 };

template <>
struct AudEnumTraits<AudRole> {
    static constexpr std::string_view typeName = "AudRole";
    static constexpr std::array<std::pair<AudRole, std::string_view>, 4> cases{{
        {AudRole::textElement, "textElement"},
        {AudRole::control, "control"},
        {AudRole::image, "image"},
        {AudRole::genericElement, "genericElement"},
    }};
};

}  // namespace audkit
