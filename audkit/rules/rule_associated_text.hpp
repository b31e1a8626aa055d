#pragma once

#include <array>
#include <string>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"

namespace audkit {

// A control with a visible label beside it needs an accessible name. How much
// a missing name hurts depends on the label: one VoiceOver cannot reach
// leaves the control unexplained (CRITICAL), a focusable one less so (SERIOUS).
class RuleAssociatedText : public AudRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::associatedText,
        .standard = AudStandard::wcag20,
        .impact = AudImpact::serious,
        .criterion = "1.3.1 Info and Relationships",
        .summary =
            "A control should get its accessible name from a nearby label available for assistive technologies "
            "such as VoiceOver and Voice Control.",
        .passingDescription = "This control's accessibility label matches its nearby visible label."};
    static constexpr const char* noNameMessage =
        "This control does not have a valid name. Ensure the accessibility label matches its nearby visible label.";
    static constexpr PropKey<std::string> focusableViewClassKey{"Class Name of Focusable View"};
    static constexpr std::array keys{rulekey::name.name, focusableViewClassKey.name, rulekey::isActiveControl.name,
                                     rulekey::isAccessibilityFocusable.name, rulekey::associatedText.name};

    explicit RuleAssociatedText(std::shared_ptr<RuleConf> config) : AudRule(info, std::move(config)) {}

    // Also sets the rule's impact for the view's result.
    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;
};

}  // namespace audkit
