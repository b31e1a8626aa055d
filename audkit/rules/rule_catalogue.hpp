#pragma once

#include <memory>
#include <span>

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

// A fresh configuration of a built-in rule with its catalogue defaults.
std::shared_ptr<RuleConf> catalogueConf(AudRuleId id);

}  // namespace audkit
