#pragma once

#include <array>
#include <optional>
#include <string>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"

namespace audkit {

// The visible label of a control must be part of its accessible name, so that
// what a person sees is what VoiceOver reads and Voice Control answers to.
class RuleLabelInName : public AudRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::labelInName,
        .standard = AudStandard::wcag21,
        .impact = AudImpact::serious,
        .criterion = "2.5.3 Label in Name",
        .summary = "An accessibility focusable view should ensure its name includes its visible label.",
        .passingDescription = "This view's visible label is a part of its name.",
        .restsOn = elementFlag};
    static constexpr const char* nameDoesntContainLabelMessage =
        "This accessibility focusable view's name does not contain some or all of it's visible text.";
    // Bar buttons and the back button take their names from the platform.
    static constexpr std::array<std::string_view, 2> skippedClasses{"_UIButtonBarButton",
                                                                    "UIAccessibilityBackButtonElement"};
    static constexpr PropKey<bool> isOrContainsControlKey{"isOrContainsControl"};
    static constexpr PropKey<std::string> detectedTextKey{"Detected Text"};
    static constexpr PropKey<std::string> visibleTextKey{"Control's Visible Text"};
    static constexpr PropKey<std::string> valueKey{"value"};
    static constexpr PropKey<float> elementOffScreenKey{"elementOffScreen"};
    static constexpr std::array keys{isOrContainsControlKey.name, rulekey::isAccessibilityFocusable.name,
                                     rulekey::name.name,          detectedTextKey.name,
                                     visibleTextKey.name,         valueKey.name,
                                     elementOffScreenKey.name};

    explicit RuleLabelInName(std::shared_ptr<RuleConf> config) : RuleLabelInName(info, std::move(config)) {}

    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;

protected:
    // Where the visible text must stand in the name.
    enum class Placement { anywhere, atFront };
    RuleLabelInName(const RuleInfo& ruleInfo, std::shared_ptr<RuleConf> config)
        : AudRule(ruleInfo, std::move(config)) {}
    // PASS, or none when the name does not hold the visible text there.
    std::optional<AudStatus> judge(const AudProps& props, Placement placement) const;
};

}  // namespace audkit
