#pragma once

#include <string_view>

#include "audkit/rules/aud_rule_id.hpp"
#include "audkit/rules/rule_vocabulary.hpp"

namespace audkit {

// The fixed facts of a built-in rule, declared once in the rule's own header
// and read by the catalogue.
struct RuleInfo {
    AudRuleId id;
    AudStandard standard;
    AudImpact impact;
    bool experimental = false;
    bool ignoredByDefault = false;
    std::string_view summary;
    // Empty: the rule has none, and a PASS shows the configured summary.
    std::string_view passingDescription{};
};

}  // namespace audkit
