#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace audkit::cli {

// A rule's documentation page (docs/rules/<RuleId>.md, built into the tool):
// what it checks, why it matters, how to fix it in UIKit and SwiftUI, and its
// known limits. None for an id that has no page.
std::optional<std::string_view> rulePage(std::string_view ruleId);

// Where the same page is published on the documentation site, for reports
// that link a finding to its rule (SARIF's help address, the HTML report).
std::string rulePageAddress(std::string_view ruleId);

}  // namespace audkit::cli
