#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audkit/tree/attribute_value.hpp"
#include "audkit/tree/aud_element_type.hpp"
#include "audkit/tree/element_provenance.hpp"

namespace audkit {

class AccessibilityInterface;

// The attributes read from one accessibility snapshot node. Every attribute is
// read tolerantly: a missing value and a value of the wrong kind both take the
// field's fallback.
struct AudElement {
    std::string className = "Unknown";
    AudElementType elementType = AudElementType::any;
    PlatformRect frame;
    std::uint64_t traits = 0;
    bool isAccessibilityElement = false;
    bool isEnabled = false;
    bool isVisible = false;
    std::optional<std::string> label;
    std::optional<std::string> value;
    std::optional<std::string> placeholderValue;
    std::optional<std::string> identifier;
    PlatformRect visibleFrame;
    std::vector<XCAccessibilityElement> children;
    bool keyboardOnScreen = false;
    bool hasCustomA11yActions = false;
    ElementProvenance provenance;

    // Fills the fields from an attribute dictionary and the platform's raw
    // element type. The interface is needed only to assemble the name of a
    // table-cell element from its static-text children; it may be null.
    static AudElement make(const AttributeDictionary& attributes, std::uint64_t rawType,
                           AccessibilityInterface* interface);

    // The accessible name: the trimmed label, or for an unlabelled table-cell
    // element the labels of its static-text children.
    std::optional<std::string> name;

    // "enabled"/"dimmed", "selected", "empty", joined with ", ".
    std::optional<std::string> state() const;
    // The value or placeholder of text inputs, the label of static texts.
    std::optional<std::string> text() const;
    // The fraction of the frame's area that is not visible; 0 for an empty frame.
    float offScreenAmount() const;

    bool isTextInput() const;
};

// The element types that are controls: buttons, keys, sliders, page
// indicators, switches, toggles, links, text inputs and tabs.
bool isControlElementType(AudElementType type);

// The element type of a class name and raw type: class-name overrides first,
// then the raw value; an unsupported raw value is logged and becomes `any`.
AudElementType elementTypeFor(const std::string& className, std::uint64_t rawType);

}  // namespace audkit
