#pragma once

#include <array>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"

namespace audkit {

// An interactive view needs an accessible name: its own, or the text of the
// label associated with it.
class RuleActiveControlName : public AudRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::activeControlName,
        .standard = AudStandard::wcag20,
        .impact = AudImpact::critical,
        .criterion = "4.1.2 Name, Role, Value",
        .summary =
            "Any interactive view should have an accessible name available for assistive technologies such as "
            "VoiceOver and Voice Control.",
        .passingDescription = "This view has an accessible name available for assistive technologies."};
    static constexpr const char* noNameMessage =
        "This control does not have a valid name. Ensure the element's accessibility label exists and is descriptive.";
    static constexpr const char* defaultStepperButtonNameMessage =
        "Stepper button names should be more descriptive than \"Increment\"/\"Decrement\".";
    static constexpr std::array keys{rulekey::isActiveControl.name, rulekey::isAccessibilityFocusable.name,
                                     rulekey::name.name, rulekey::associatedText.name};

    explicit RuleActiveControlName(std::shared_ptr<RuleConf> config) : AudRule(info, std::move(config)) {}

    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;

private:
    // What collectProps found for the view runRule decides next.
    std::optional<std::string> elementName_;
    bool isChildOfStepper_ = false;
};

}  // namespace audkit
