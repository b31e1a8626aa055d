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

// A FAIL must rest on what the capture records. The fact of the view that the
// capture's importer inferred and a failure of the rule would rest on ("whether
// this element is an accessibility element"); none when the rule rests on no
// inferred fact of the view.
std::optional<std::string> inferredFactBehind(const AudRule& rule, const AudView& view);

}  // namespace audkit
