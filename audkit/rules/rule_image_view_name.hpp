#pragma once

#include <array>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"

namespace audkit {

// A focusable image needs an accessible name.
class RuleImageViewName : public AudRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::imageViewName,
        .standard = AudStandard::wcag20,
        .impact = AudImpact::critical,
        .criterion = "1.1.1 Non-text Content",
        .summary =
            "Focusable image elements should provide a meaningful accessible name available for assistive technologies "
            "such as VoiceOver and Voice Control.",
        .passingDescription = "This image provides a meaningful accessible name for assistive technologies."};
    static constexpr const char* noNameMessage =
        "This image is focusable and does not have a valid name. Ensure the image's accessibility label exists and is "
        "descriptive.";
    static constexpr const char* unableToDetermineFocusableMessage =
        "This image lacks a name, and isAccessibilityFocusable is unreliable (reported bug with Apple). Verify "
        "focusability with VoiceOver and add an accessibilityLabel or explicitly set isAccessibilityElement to false.";
    static constexpr PropKey<std::string> viewHierarchyTypeKey{"viewHierarchyType"};
    static constexpr std::array keys{rulekey::elementType.name, rulekey::name.name,
                                     rulekey::isAccessibilityFocusable.name, rulekey::accessibilityIdentifier.name,
                                     viewHierarchyTypeKey.name};

    explicit RuleImageViewName(std::shared_ptr<RuleConf> config) : AudRule(info, std::move(config)) {}

    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;
};

}  // namespace audkit
