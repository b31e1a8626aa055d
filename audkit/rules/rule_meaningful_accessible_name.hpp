#pragma once

#include <array>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"

namespace audkit {

// An accessible name should not repeat the words of the view's traits
// ("Play button").
class RuleMeaningfulAccessibleName : public AudRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::meaningfulAccessibleName,
        .standard = AudStandard::platform,
        .impact = AudImpact::minor,
        .summary = "An element's accessible name should not include its accessibility trait(s).",
        .passingDescription = "This element's accessible name does not include its accessibility trait(s).",
        .restsOn = traitBits};
    static constexpr std::array keys{rulekey::accessibilityTraits.name, rulekey::name.name, rulekey::elementType.name,
                                     rulekey::isAccessibilityFocusable.name};

    explicit RuleMeaningfulAccessibleName(std::shared_ptr<RuleConf> config) : AudRule(info, std::move(config)) {}

    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;
};

}  // namespace audkit
