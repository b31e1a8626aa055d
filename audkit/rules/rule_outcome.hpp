#pragma once

#include <optional>
#include <string>

#include "audkit/rules/aud_rule.hpp"

namespace audkit {

// What a rule decided for one property bag, with the summary its result shows.
struct RuleOutcome {
    AudStatus status;
    std::optional<std::string> summary;
};

// Runs the rule's decision and maps it: a returned PASS shows the rule's
// passing description; a thrown ResultDescription is FAIL with its text; any
// other error is INCOMPLETE with its message. Never throws.
RuleOutcome decideOutcome(AudRule& rule, const AudProps& props);

}  // namespace audkit
