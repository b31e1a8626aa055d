#pragma once

#include <array>
#include <string_view>

namespace audkit {

// The accessibility attributes the library names, by index.
enum class AccessibilityAttribute : int {
    elementType = 0,
    viewControllerTitle = 1,
    label = 2,
    isElement = 3,
    isVisible = 4,
    children = 5,
    elementBaseType = 6,
    traits = 7,
    frame = 8,
    visibleFrame = 9,
    isUserInteractionEnabled = 10,
    value = 11,
    identifier = 12,
    placeholderValue = 13,
    customActions = 14,
    hasNativeFocus = 15,
    displayID = 16,
};

std::string_view attributeKey(AccessibilityAttribute attribute);

// The 13 keys requested for every element, in the order they are requested.
const std::array<std::string_view, 13>& accessibilityAttributeNames();

}  // namespace audkit
