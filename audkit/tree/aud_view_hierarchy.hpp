#pragma once

#include "audkit/base/aud_enum.hpp"

namespace audkit {

// The UI toolkit a view belongs to, derived from its ancestors' class names.
enum class AudViewHierarchy : int { uiKit = 0, swiftUI = 1, reactNative = 2 };

template <>
struct AudEnumTraits<AudViewHierarchy> {
    static constexpr std::string_view typeName = "AudViewHierarchy";
    static constexpr std::array<std::pair<AudViewHierarchy, std::string_view>, 3> cases{{
        {AudViewHierarchy::uiKit, "UIKit"},
        {AudViewHierarchy::swiftUI, "SwiftUI"},
        {AudViewHierarchy::reactNative, "ReactNative"},
    }};
};

}  // namespace audkit
