#pragma once

#include <array>
#include <string>
#include <vector>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"

namespace audkit {

// A focusable container that holds no control must announce the text shown
// inside it.
class RuleNestedElementsName : public AudRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::nestedElementsName,
        .standard = AudStandard::wcag20,
        .impact = AudImpact::critical,
        .criterion = "4.1.2 Name, Role, Value",
        .summary =
            "A focusable view should have all visible text within its accessible name available to assistive "
            "technologies like VoiceOver and Voice Control.",
        .passingDescription = "This view contains all of its visible text within its accessible name.",
        .restsOn = elementFlag};
    // A shown word is in the name when a name word scores at least this (Jaro-Winkler).
    static constexpr double wordSimilarity = 0.7;
    static constexpr PropKey<std::vector<std::string>> textsKey{"textOfSelfAndDescendants"};
    static constexpr std::array keys{rulekey::isAccessibilityFocusable.name, rulekey::isActiveControl.name,
                                     textsKey.name, rulekey::name.name};

    explicit RuleNestedElementsName(std::shared_ptr<RuleConf> config) : AudRule(info, std::move(config)) {}

    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;
};

}  // namespace audkit
