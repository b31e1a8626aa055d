#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "audkit/base/error.hpp"

namespace audkit {

// The library's string-backed enumerations. Each one specialises
// AudEnumTraits with its type name and its cases in declaration order:
//   static constexpr std::string_view typeName = "AudRole";
//   static constexpr std::array cases = {std::pair{AudRole::textElement, std::string_view("textElement")}, ...};
template <class E>
struct AudEnumTraits;

template <class E>
concept AudEnum = std::is_enum_v<E> && requires {
    AudEnumTraits<E>::typeName;
    AudEnumTraits<E>::cases;
};

class AudEnumError : public MessageError {
public:
    // "<Type> <text> does not exist. Valid rawValues are\n\t<case>\n\t<case>..."
    AudEnumError(std::string_view typeName, std::string_view text, const std::vector<std::string_view>& caseNames);
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

template <AudEnum E>
constexpr auto rawValue(E value) {
    return static_cast<std::underlying_type_t<E>>(value);
}

template <AudEnum E>
std::string_view toString(E value) {
    for (const auto& [member, name] : AudEnumTraits<E>::cases)
        if (member == value) return name;
    return {};
}

template <AudEnum E>
std::vector<E> allCases() {
    std::vector<E> cases;
    for (const auto& entry : AudEnumTraits<E>::cases) cases.push_back(entry.first);
    return cases;
}

// The case with this raw value, or none when the value is not a member.
template <AudEnum E, class Raw>
std::optional<E> enumFromRawValue(Raw raw) {
    for (const auto& entry : AudEnumTraits<E>::cases)
        if (std::cmp_equal(rawValue(entry.first), raw)) return entry.first;
    return std::nullopt;
}

// The case whose string form is exactly `text`, or none.
template <AudEnum E>
std::optional<E> enumFromName(std::string_view text) {
    for (const auto& [member, name] : AudEnumTraits<E>::cases)
        if (name == text) return member;
    return std::nullopt;
}

// Exact, case-sensitive match against the string forms, first match wins.
template <AudEnum E>
E parseAudEnum(std::string_view text) {
    std::vector<std::string_view> names;
    for (const auto& [member, name] : AudEnumTraits<E>::cases) {
        if (name == text) return member;
        names.push_back(name);
    }
    throw AudEnumError(AudEnumTraits<E>::typeName, text, names);
}

}  // namespace audkit
