#pragma once

#include <cstdint>
#include <optional>

#include "audkit/tree/accessibility_attribute.hpp"
#include "audkit/tree/aud_element.hpp"
#include "audkit/tree/snapshot_source.hpp"

namespace audkit {

// The 13 requested attribute keys as the platform calls take them.
const AttributeNames& requestedAttributeNames();

// The element under test: its attributes (none when they cannot be read), then
// the keyboard check, which updates the process-wide keyboard flag only when
// the element has no web views.
std::optional<AudElement> makeRootElement(SnapshotSource& source, UIElement& element);

// A child: none when its attributes or its raw type cannot be read.
std::optional<AudElement> makeChildElement(SnapshotSource& source, const XCAccessibilityElement& child);

// The raw element type of a child from its snapshot's "_elementType".
std::optional<std::uint64_t> childRawType(AccessibilityInterface& interface, const XCAccessibilityElement& child);

// One attribute of a child, read on its own.
std::optional<AttributeValue> singleAttribute(AccessibilityInterface& interface, const XCAccessibilityElement& child,
                                              AccessibilityAttribute attribute);

}  // namespace audkit
