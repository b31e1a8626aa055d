#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace audkit::cli {

// The UI-test framework's element type number for a type name ("Button"),
// none for a name it does not have.
std::optional<std::uint64_t> elementTypeNumber(std::string_view name);

// The element type an older UIAutomation tag ("UIATableCell") stands for.
std::optional<std::string_view> typeOfUIAutomationTag(std::string_view tag);

// The accessibility trait bit of a trait name ("Button", "NotEnabled"), none
// for an unknown name.
std::optional<std::uint64_t> traitBit(std::string_view name);

}  // namespace audkit::cli
