#pragma once

#include <string>

#include "audkit/tree/prop_key.hpp"
#include "audkit/tree/prop_value.hpp"

// The properties the tree builder records on every view.
namespace audkit::viewkey {

inline constexpr PropKey<bool> isEnabled{"isEnabled"};
inline constexpr PropKey<std::string> label{"label"};
inline constexpr PropKey<AudRect> frame{"frame"};
inline constexpr PropKey<bool> isActiveControl{"isActiveControl"};
inline constexpr PropKey<std::string> text{"text"};
inline constexpr PropKey<bool> isAccessibilityElement{"isAccessibilityElement"};
inline constexpr PropKey<AudTraits> accessibilityTraits{"accessibilityTraits"};
inline constexpr PropKey<AudBounds> accessibilityPath{"accessibilityPath"};
inline constexpr PropKey<ElementOffScreen> elementOffScreen{"elementOffScreen"};
inline constexpr PropKey<bool> keyboardOnScreen{"keyboardOnScreen"};
inline constexpr PropKey<PlatformRect> visibleFrameXCTest{"visibleFrameXCTest"};
inline constexpr PropKey<bool> hasCustomA11yActions{"hasCustomA11yActions"};
inline constexpr PropKey<bool> isHeaderOrFooter{"isHeaderOrFooter"};
// Recorded only for captures imported from a dump: where the element stands
// in it, the attributes the dump does not state (inferred), and what system
// UI the element is when the system draws it rather than the application.
inline constexpr PropKey<std::string> source{"source"};
inline constexpr PropKey<std::vector<std::string>> inferredAttributes{"inferredAttributes"};
inline constexpr PropKey<std::string> systemElement{"systemElement"};

// Calculated fields that the tree queries also answer by name.
inline constexpr PropKey<bool> isAccessibilityFocusable{"isAccessibilityFocusable"};
inline constexpr PropKey<bool> isVisibleToUser{"isVisibleToUser"};

}  // namespace audkit::viewkey
