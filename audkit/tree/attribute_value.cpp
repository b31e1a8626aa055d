#include "audkit/tree/attribute_value.hpp"

namespace audkit {

std::optional<std::string> attributeString(const AttributeValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    return std::nullopt;
}

std::optional<bool> attributeBool(const AttributeValue& value) {
    if (const auto* flag = std::get_if<bool>(&value)) return *flag;
    if (const auto* number = std::get_if<std::int64_t>(&value)) return *number != 0;
    if (const auto* number = std::get_if<std::uint64_t>(&value)) return *number != 0;
    if (const auto* number = std::get_if<double>(&value)) return *number != 0.0;
    return std::nullopt;
}

std::optional<std::uint64_t> attributeUInt64(const AttributeValue& value) {
    if (const auto* number = std::get_if<std::uint64_t>(&value)) return *number;
    return std::nullopt;
}

std::optional<PlatformRect> attributeRect(const AttributeValue& value) {
    if (const auto* rect = std::get_if<PlatformRect>(&value)) return *rect;
    return std::nullopt;
}

std::optional<std::vector<XCAccessibilityElement>> attributeReferences(const AttributeValue& value) {
    if (const auto* references = std::get_if<std::vector<XCAccessibilityElement>>(&value)) return *references;
    return std::nullopt;
}

std::optional<std::size_t> attributeListCount(const AttributeValue& value) {
    if (const auto* list = std::get_if<ValueList>(&value)) return list->count;
    if (const auto* references = std::get_if<std::vector<XCAccessibilityElement>>(&value)) return references->size();
    return std::nullopt;
}

const AttributeValue* findAttribute(const AttributeDictionary& attributes, std::string_view key) {
    const auto found = attributes.find(key);
    return found == attributes.end() ? nullptr : &found->second;
}

}  // namespace audkit
