#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/aud_rule_id.hpp"

namespace audkit {

// One row of the catalogue of built-in rules: its default rating and how to
// make it.
struct RuleCatalogueEntry {
    AudRuleId id;
    std::string_view className;
    AudStandard standard;
    AudImpact impact;
    bool experimental;
    bool ignoredByDefault;
    std::string_view summary;
    // Null for a rule whose checks are not built yet: it records nothing.
    std::shared_ptr<AudRule> (*make)(std::shared_ptr<RuleConf> config);
};

std::span<const RuleCatalogueEntry> ruleCatalogue();
const RuleCatalogueEntry& catalogueEntry(AudRuleId id);

// A fresh configuration of a built-in rule with its catalogue defaults.
std::shared_ptr<RuleConf> catalogueConf(AudRuleId id);

// A catalogued rule whose checks are not built yet: every view is
// INAPPLICABLE, so it adds no result.
class UnbuiltRule : public AudRule {
public:
    using AudRule::AudRule;
    std::shared_ptr<AudProps> collectProps(const AudView&) override { return std::make_shared<AudProps>(); }
    AudStatus runRule(const AudProps&) override { return AudStatus::inapplicable; }
};

}  // namespace audkit
