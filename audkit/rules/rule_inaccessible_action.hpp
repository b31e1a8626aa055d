#pragma once

#include <array>
#include <cstdint>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"

namespace audkit {

// An interactive view must be reachable by assistive technology: focusable
// itself (a focusable slider also adjustable), or inside a focusable parent
// that acts for it. A parent grouping several controls needs a person's check.
class RuleInaccessibleAction : public AudRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::inaccessibleAction,
        .standard = AudStandard::wcag20,
        .impact = AudImpact::critical,
        .criterion = "2.1.1 Keyboard",
        .experimental = true,
        .summary = "An interactive view should have the ability to be activated with assistive technology.",
        .passingDescription = "This view can be activated using an assistive technology.",
        .restsOn = elementFlag | traitBits};
    static constexpr const char* notFocusableMessage =
        "This control is not focusable by assistive technology. Ensure the control is focusable or within a focusable "
        "element to be activated.";
    static constexpr const char* sliderNotAdjustableMessage =
        "A slider that is directly focusable by VoiceOver must have the adjustable accessibility trait set.";
    static constexpr const char* noActionDetectedMessage =
        "Unable to determine control's action or activation method. Please add a custom action, gesture recognizer, "
        "enable the activation point or use an adjustable trait to ensure VoiceOver is able to interact.";
    static constexpr const char* multipleChildrenMessage =
        "Multiple child controls were detected within a focusable parent. Requires a manual check that this control "
        "is actionable by VoiceOver.";
    static constexpr const char* dimmingViewClass = "UIDimmingView";
    static constexpr PropKey<std::string> focusableParentClassKey{"Focusable Parent View className"};
    // VoiceOver reaches the control through a focusable view inside it that
    // carries its action (a web link's text).
    static constexpr PropKey<std::string> focusableChildClassKey{"Focusable Child View className"};
    static constexpr PropKey<bool> hasCustomActionsKey{"hasCustomA11yActions"};
    static constexpr PropKey<bool> hasAdjustableTraitKey{"hasAdjustableA11yTrait"};
    static constexpr PropKey<std::int64_t> childControlsKey{"numberOfChildActiveControls"};
    static constexpr PropKey<float> elementOffScreenKey{"elementOffScreen"};
    static constexpr std::array keys{rulekey::isActiveControl.name, rulekey::isAccessibilityFocusable.name,
                                     focusableParentClassKey.name,  focusableChildClassKey.name,
                                     hasCustomActionsKey.name,
                                     hasAdjustableTraitKey.name,    childControlsKey.name,
                                     elementOffScreenKey.name};

    explicit RuleInaccessibleAction(std::shared_ptr<RuleConf> config) : AudRule(info, std::move(config)) {}

    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;
};

}  // namespace audkit
