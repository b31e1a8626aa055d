#pragma once

#include <array>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"

namespace audkit {

// A focusable view must not carry traits that exclude each other.
class RuleConflictingTraits : public AudRule {
public:
    static constexpr RuleInfo info{.id = AudRuleId::conflictingTraits,
                                   .standard = AudStandard::platform,
                                   .impact = AudImpact::critical,
                                   .summary = "Views should not have conflicting accessibility traits.",
                                   .passingDescription = "This view does not have conflicting accessibility traits.",
                                   .restsOn = traitBits};
    static constexpr PropKey<AudTraits> conflictingTraitsKey{"Conflicting Traits"};
    static constexpr std::array keys{rulekey::accessibilityTraits.name, rulekey::isAccessibilityFocusable.name,
                                     conflictingTraitsKey.name};

    explicit RuleConflictingTraits(std::shared_ptr<RuleConf> config) : AudRule(info, std::move(config)) {}

    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;
};

}  // namespace audkit
