#pragma once

#include "audkit/rules/rule_label_in_name.hpp"

namespace audkit {

// The visible text of an interactive view should begin its accessible name,
// so that Voice Control users can say what they see. Shares LabelInName's
// properties.
class RuleLabelAtFront : public RuleLabelInName {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::labelAtFront,
        .standard = AudStandard::bestPractice,
        .impact = AudImpact::minor,
        .summary = "Any visible text of an interactive view should be at the start of the view's accessible name.",
        .passingDescription = "This interactive view's accessible name begins with the visible text of the view.",
        .restsOn = elementFlag};

    explicit RuleLabelAtFront(std::shared_ptr<RuleConf> config) : RuleLabelInName(info, std::move(config)) {}

    AudStatus runRule(const AudProps& props) override;
};

}  // namespace audkit
