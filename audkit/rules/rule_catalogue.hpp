#pragma once

#include <memory>
#include <span>
#include <string>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/aud_rule_id.hpp"

namespace audkit {

// One row of the catalogue of built-in rules: the facts its header declares
// and how to make it.
struct RuleCatalogueEntry {
    const RuleInfo* info;
    std::shared_ptr<AudRule> (*make)(const RuleInfo& info, std::shared_ptr<RuleConf> config);
};

std::span<const RuleCatalogueEntry> ruleCatalogue();
const RuleInfo& catalogueEntry(AudRuleId id);

// The standard a rule follows with its success criterion ("WCAG 2.0 1.4.3
// Contrast (Minimum)"), or the standard alone ("best practice").
std::string standardText(const RuleInfo& info);

// A fresh configuration of a built-in rule with its catalogue defaults.
std::shared_ptr<RuleConf> catalogueConf(AudRuleId id);

}  // namespace audkit
