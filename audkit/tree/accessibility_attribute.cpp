#include "audkit/tree/accessibility_attribute.hpp"

namespace audkit {
namespace {

constexpr std::array<std::string_view, 17> keys{
    "XC_kAXXCAttributeElementType",
    "XC_kAXXCAttributeViewControllerTitle",
    "XC_kAXXCAttributeLabel",
    "XC_kAXXCAttributeIsElement",
    "XC_kAXXCAttributeIsVisible",
    "XC_kAXXCAttributeChildren",
    "XC_kAXXCAttributeElementBaseType",
    "XC_kAXXCAttributeTraits",
    "XC_kAXXCAttributeFrame",
    "XC_kAXXCAttributeVisibleFrame",
    "XC_kAXXCAttributeIsUserInteractionEnabled",
    "XC_kAXXCAttributeValue",
    "XC_kAXXCAttributeIdentifier",
    "XC_kAXXCAttributePlaceholderValue",
    "XC_kAXXCAttributeCustomActions",
    "XC_kAXXCAttributeHasNativeFocus",
    "XC_kAXXCAttributeDisplayID",
};

}  // namespace

std::string_view attributeKey(AccessibilityAttribute attribute) { return keys.at(static_cast<std::size_t>(attribute)); }

const std::array<std::string_view, 13>& accessibilityAttributeNames() {
    using A = AccessibilityAttribute;
    static const std::array<std::string_view, 13> names{
        attributeKey(A::elementType),
        attributeKey(A::frame),
        attributeKey(A::traits),
        attributeKey(A::isElement),
        attributeKey(A::isUserInteractionEnabled),
        attributeKey(A::isVisible),
        attributeKey(A::label),
        attributeKey(A::value),
        attributeKey(A::placeholderValue),
        attributeKey(A::identifier),
        attributeKey(A::children),
        attributeKey(A::visibleFrame),
        attributeKey(A::customActions),
    };
    return names;
}

}  // namespace audkit
