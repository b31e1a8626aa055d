#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "audkit/base/aud_rect.hpp"

namespace audkit {

// An opaque reference to one platform accessibility element.
struct XCAccessibilityElement {
    std::string reference;
    bool operator==(const XCAccessibilityElement&) const = default;
};

// A value of a kind the library never expects (null, a dictionary that is not
// a rectangle, ...): every typed read of it takes its fallback.
struct OtherValue {
    bool operator==(const OtherValue&) const = default;
};

// A list whose items the library does not read, only counts (custom actions).
struct ValueList {
    std::size_t count = 0;
    bool operator==(const ValueList&) const = default;
};

// One attribute value with the platform's kinds: strings, numbers (Booleans are
// numbers too), rectangles, lists of element references and other lists.
using AttributeValue = std::variant<OtherValue, bool, std::int64_t, std::uint64_t, double, std::string, PlatformRect,
                                    std::vector<XCAccessibilityElement>, ValueList>;

using AttributeDictionary = std::map<std::string, AttributeValue, std::less<>>;

// Typed reads that succeed only for a value of the expected kind.
std::optional<std::string> attributeString(const AttributeValue& value);
std::optional<bool> attributeBool(const AttributeValue& value);  // any number; non-zero is true
std::optional<std::uint64_t> attributeUInt64(const AttributeValue& value);
std::optional<PlatformRect> attributeRect(const AttributeValue& value);
std::optional<std::vector<XCAccessibilityElement>> attributeReferences(const AttributeValue& value);
std::optional<std::size_t> attributeListCount(const AttributeValue& value);

// The same reads on a dictionary entry; a missing key reads as the wrong kind.
const AttributeValue* findAttribute(const AttributeDictionary& attributes, std::string_view key);

}  // namespace audkit
