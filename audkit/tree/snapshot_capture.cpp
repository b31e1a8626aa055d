#include "audkit/tree/snapshot_capture.hpp"

#include <limits>

#include "audkit/base/process_state.hpp"
#include "audkit/tree/element_provenance.hpp"

namespace audkit {

const AttributeNames& requestedAttributeNames() {
    static const AttributeNames names = [] {
        AttributeNames all(accessibilityAttributeNames().begin(), accessibilityAttributeNames().end());
        for (const auto key : {ElementProvenance::sourceKey, ElementProvenance::inferredKey,
                               ElementProvenance::systemElementKey})
            all.emplace_back(key);
        return all;
    }();
    return names;
}

std::optional<AudElement> makeRootElement(SnapshotSource& source, UIElement& element) {
    const auto attributes = element.valuesForAccessibilityAttributes(requestedAttributeNames());
    if (!attributes) return std::nullopt;
    if (element.webViewCount() == 0) processState().keyboardOnScreen = element.keyboardExists();
    return AudElement::make(*attributes, element.elementType(), source.accessibilityInterface());
}

std::optional<AudElement> makeChildElement(SnapshotSource& source, const XCAccessibilityElement& child) {
    auto* interface = source.accessibilityInterface();
    if (interface == nullptr) return std::nullopt;
    const auto attributes = interface->attributesForElement(child, requestedAttributeNames());
    if (!attributes) return std::nullopt;
    const auto rawType = childRawType(*interface, child);
    if (!rawType) return std::nullopt;
    return AudElement::make(*attributes, *rawType, interface);
}

std::optional<std::uint64_t> childRawType(AccessibilityInterface& interface, const XCAccessibilityElement& child) {
    const SnapshotParameters parameters{{"maxDepth", std::numeric_limits<std::int64_t>::max()}};
    const auto snapshot = interface.requestSnapshot(child, {}, parameters);
    if (!snapshot) return std::nullopt;
    const auto value = snapshot->rootElementSnapshotValue("_elementType");
    if (!value) return std::nullopt;
    if (const auto raw = attributeUInt64(*value)) return raw;
    if (const auto* signedRaw = std::get_if<std::int64_t>(&*value); signedRaw && *signedRaw >= 0)
        return static_cast<std::uint64_t>(*signedRaw);
    return std::nullopt;
}

std::optional<AttributeValue> singleAttribute(AccessibilityInterface& interface, const XCAccessibilityElement& child,
                                              AccessibilityAttribute attribute) {
    const auto key = std::string(attributeKey(attribute));
    const auto attributes = interface.attributesForElement(child, AttributeNames{key});
    if (!attributes) return std::nullopt;
    const auto* value = findAttribute(*attributes, key);
    if (value == nullptr) return std::nullopt;
    return *value;
}

}  // namespace audkit
