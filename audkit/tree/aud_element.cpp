#include "audkit/tree/aud_element.hpp"

#include <array>
#include <cmath>
#include <utility>

#include "audkit/base/aud_rect.hpp"
#include "audkit/base/process_state.hpp"
#include "audkit/base/text_helpers.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/tree/accessibility_attribute.hpp"
#include "audkit/tree/aud_traits.hpp"
#include "audkit/tree/snapshot_capture.hpp"

namespace audkit {
namespace {

using A = AccessibilityAttribute;
using T = AudElementType;

const std::array<std::pair<std::string_view, AudElementType>, 3> classNameElementTypeOverrides{{
    {"_UIScrollViewScrollIndicator", T::scrollBar},
    {"_UITableCellAccessoryButton", T::image},
    {"UISearchBar", T::searchField},
}};

const AttributeValue* find(const AttributeDictionary& attributes, A attribute) {
    return findAttribute(attributes, attributeKey(attribute));
}

std::optional<std::string> readString(const AttributeDictionary& attributes, A attribute) {
    const auto* value = find(attributes, attribute);
    return value ? attributeString(*value) : std::nullopt;
}

bool readBool(const AttributeDictionary& attributes, A attribute) {
    const auto* value = find(attributes, attribute);
    return value && attributeBool(*value).value_or(false);
}

bool isFiniteRect(const PlatformRect& rect) {
    return std::isfinite(rect.x) && std::isfinite(rect.y) && std::isfinite(rect.width) && std::isfinite(rect.height);
}

PlatformRect readRect(const AttributeDictionary& attributes, A attribute) {
    const auto* value = find(attributes, attribute);
    const auto rect = value ? attributeRect(*value) : std::nullopt;
    return rect && isFiniteRect(*rect) ? *rect : PlatformRect{};
}

bool isTextFieldType(AudElementType type) {
    return type == T::searchField || type == T::textField || type == T::secureTextField;
}

// Absent together, or present and equal.
bool sameOrBothAbsent(const std::optional<std::string>& a, const std::optional<std::string>& b) { return a == b; }

// An unlabelled table-cell element is named after its static-text children
// that are accessibility elements.
std::optional<std::string> tableCellName(const std::vector<XCAccessibilityElement>& children,
                                         AccessibilityInterface* interface) {
    if (interface == nullptr) return std::nullopt;
    std::string assembled;
    for (const auto& child : children) {
        if (childRawType(*interface, child) != static_cast<std::uint64_t>(T::staticText)) continue;
        const auto isElement = singleAttribute(*interface, child, A::isElement);
        const auto label = singleAttribute(*interface, child, A::label);
        const bool accessible = isElement && attributeBool(*isElement).value_or(false);
        const auto text = label ? attributeString(*label) : std::nullopt;
        if (accessible && !isBlank(text)) assembled += " " + *text;
    }
    auto name = trimmedWhitespaceAndNewlines(assembled);
    if (name.empty()) return std::nullopt;
    return name;
}

std::optional<std::string> elementName(const AudElement& element, AccessibilityInterface* interface) {
    if (element.className == "UITableViewCellAccessibilityElement" && !element.label)
        return tableCellName(element.children, interface);
    if (element.elementType == T::searchField && sameOrBothAbsent(element.label, element.placeholderValue))
        return std::nullopt;
    if (isBlank(element.label)) return std::nullopt;
    return trimmedWhitespaceAndNewlines(*element.label);
}

// A recorded capture's provenance of the element (none on a live platform).
ElementProvenance readProvenance(const AttributeDictionary& attributes) {
    ElementProvenance provenance;
    auto text = [&](std::string_view key) -> std::optional<std::string> {
        const auto* value = findAttribute(attributes, key);
        return value ? attributeString(*value) : std::nullopt;
    };
    provenance.source = text(ElementProvenance::sourceKey);
    provenance.systemElement = text(ElementProvenance::systemElementKey);
    if (const auto keys = text(ElementProvenance::inferredKey)) {
        std::size_t start = 0;
        while (start < keys->size()) {
            const auto end = std::min(keys->find('\n', start), keys->size());
            if (end > start) provenance.inferred.push_back(keys->substr(start, end - start));
            start = end + 1;
        }
    }
    return provenance;
}

}  // namespace

bool isControlElementType(AudElementType type) {
    switch (type) {
        case T::button:
        case T::key:
        case T::slider:
        case T::pageIndicator:
        case T::switch_:
        case T::toggle:
        case T::link:
        case T::searchField:
        case T::textField:
        case T::secureTextField:
        case T::textView:
        case T::tab: return true;
        default: return false;
    }
}

AudElementType elementTypeFor(const std::string& className, std::uint64_t rawType) {
    for (const auto& [name, type] : classNameElementTypeOverrides)
        if (name == className) return type;
    if (const auto type = enumFromRawValue<AudElementType>(rawType)) return *type;
    return T::any;
}

AudElement AudElement::make(const AttributeDictionary& attributes, std::uint64_t rawType,
                            AccessibilityInterface* interface) {
    AudElement element;
    element.className = readString(attributes, A::elementType).value_or("Unknown");
    element.elementType = elementTypeFor(element.className, rawType);
    element.frame = readRect(attributes, A::frame);
    const auto* traits = find(attributes, A::traits);
    element.traits = traits ? attributeUInt64(*traits).value_or(0) : 0;
    element.isAccessibilityElement = readBool(attributes, A::isElement) && element.className != "UIKeyboardDockView";
    element.isEnabled = readBool(attributes, A::isUserInteractionEnabled);
    element.isVisible = readBool(attributes, A::isVisible);
    element.label = readString(attributes, A::label);
    element.value = readString(attributes, A::value);
    element.placeholderValue = readString(attributes, A::placeholderValue);
    element.identifier = readString(attributes, A::identifier);
    element.visibleFrame = readRect(attributes, A::visibleFrame);
    // An unknown raw type is read as any element; the log names the element so
    // the capture can be checked.
    if (element.elementType == T::any && !enumFromRawValue<AudElementType>(rawType)) {
        auto shortened = [](std::string text) {
            constexpr std::size_t longest = 80;
            if (text.size() <= longest) return text;
            std::size_t end = longest;
            while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // whole characters
            return text.substr(0, end) + "...";
        };
        std::string named = " Element: " + shortened(element.className);
        if (element.identifier) named += ", identifier \"" + shortened(*element.identifier) + "\"";
        if (element.label) named += ", label \"" + shortened(*element.label) + "\"";
        ZKLog::always(std::string("ZUNIK ERROR: ") + ElementTypeInitError(rawType).what() + named + ".");
    }
    if (const auto* children = find(attributes, A::children))
        element.children = attributeReferences(*children).value_or(std::vector<XCAccessibilityElement>{});
    element.keyboardOnScreen = processState().keyboardOnScreen;
    const auto* actions = find(attributes, A::customActions);
    element.hasCustomA11yActions = actions && attributeListCount(*actions).value_or(0) > 0;
    element.name = elementName(element, interface);
    element.provenance = readProvenance(attributes);
    return element;
}

bool AudElement::isTextInput() const { return isTextFieldType(elementType) || elementType == T::textView; }

std::optional<std::string> AudElement::state() const {
    std::string parts;
    const AudTraits elementTraits(traits);
    const bool control = isControlElementType(elementType) ||
                         (elementType != T::scrollBar && elementTraits.contains(AudTraits::adjustable));
    if (control) parts += isEnabled ? "enabled, " : "dimmed, ";
    if (elementTraits.contains(AudTraits::selected)) parts += "selected, ";
    if (isTextFieldType(elementType) && sameOrBothAbsent(value, placeholderValue)) parts += "empty, ";
    if (parts.empty()) return std::nullopt;
    parts.resize(parts.size() - 2);
    return parts;
}

std::optional<std::string> AudElement::text() const {
    if (isTextInput()) return value && !value->empty() ? value : placeholderValue;
    if (elementType == T::staticText && !isBlank(label)) return label;
    return std::nullopt;
}

float AudElement::offScreenAmount() const {
    const auto frameRect = AudRect::fromPlatform(frame);
    const auto visibleRect = AudRect::fromPlatform(visibleFrame);
    const float frameArea = frameRect.width() * frameRect.height();
    const float visibleArea = visibleRect.width() * visibleRect.height();
    const float amount = (frameArea - visibleArea) / frameArea;
    return std::isfinite(amount) ? amount : 0.0F;
}

}  // namespace audkit
