#pragma once

#include <optional>
#include <string_view>

namespace audkit::cli {

// A rule's documentation page (docs/rules/<RuleId>.md, built into the tool):
// what it checks, why it matters, how to fix it in UIKit and SwiftUI, and its
// known limits. None for an id that has no page.
std::optional<std::string_view> rulePage(std::string_view ruleId);

}  // namespace audkit::cli
