#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "audkit/tree/attribute_value.hpp"

namespace audkit {

using AttributeNames = std::vector<std::string>;

// The UI-test element under test (an application or one of its elements).
class UIElement {
public:
    virtual ~UIElement() = default;
    // The element's attribute dictionary for the given keys, or none on failure.
    virtual std::optional<AttributeDictionary> valuesForAccessibilityAttributes(const AttributeNames& names) = 0;
    // One attribute of the element, or none.
    virtual std::optional<AttributeValue> valueForAccessibilityAttribute(std::string_view name) = 0;
    // The platform's element type number.
    virtual std::uint64_t elementType() = 0;
    virtual std::size_t webViewCount() = 0;
    // Whether the first keyboard match exists.
    virtual bool keyboardExists() = 0;
    // The element's own title, when it has one.
    virtual std::optional<std::string> title() = 0;
};

// The snapshot the accessibility interface answers for one element; the
// library reads only "_elementType" of its root element snapshot.
class XCElementSnapshot {
public:
    virtual ~XCElementSnapshot() = default;
    virtual std::optional<AttributeValue> rootElementSnapshotValue(std::string_view key) const = 0;
};

using SnapshotParameters = std::map<std::string, std::int64_t>;

// The platform's accessibility interface: attributes and snapshots of the
// elements below the element under test.
class AccessibilityInterface {
public:
    virtual ~AccessibilityInterface() = default;
    virtual std::optional<AttributeDictionary> attributesForElement(const XCAccessibilityElement& element,
                                                                    const AttributeNames& names) = 0;
    // Attributes may be empty (no attribute list). Null on failure.
    virtual std::unique_ptr<XCElementSnapshot> requestSnapshot(const XCAccessibilityElement& element,
                                                               const AttributeNames& attributes,
                                                               const SnapshotParameters& parameters) = 0;
};

// What the snapshot capture needs of the platform.
class SnapshotSource {
public:
    virtual ~SnapshotSource() = default;
    // The accessibility interface; null when the platform has none, and then
    // every operation on children fails.
    virtual AccessibilityInterface* accessibilityInterface() = 0;
    // Pixels per point of the main screen.
    virtual float screenScale() = 0;
};

}  // namespace audkit
