#pragma once

#include <memory>

#include "audkit/rules/aud_rule.hpp"

// The catalogue facts of the rules whose checks are not built yet. A rule's
// facts move into its own header when its class is written.
namespace audkit::unbuilt {

inline constexpr RuleInfo a11yElementFocusBox{
    AudRuleId::a11yElementFocusBox, AudStandard::bestPractice, AudImpact::moderate, false, false,
    "Ensures a view's accessibility path, or VoiceOver focus box, encapsulates its own visual on-screen frame.", ""};
inline constexpr RuleInfo associatedText{
    AudRuleId::associatedText, AudStandard::wcag20, AudImpact::serious, false, false,
    "A control should get its accessible name from a nearby label available for assistive technologies such as "
    "VoiceOver and Voice Control.",
    ""};
inline constexpr RuleInfo collidingViews{
    AudRuleId::collidingViews, AudStandard::platform, AudImpact::minor, false, false,
    "Views containing information should not intersect with another view, either entirely or partially.", ""};
inline constexpr RuleInfo colorContrast{
    AudRuleId::colorContrast, AudStandard::wcag20, AudImpact::serious, false, false,
    "Ensures that each text element has a minimum 4.5:1 contrast ratio with its background and that large text has "
    "a minimum 3.0:1 contrast ratio.",
    ""};
inline constexpr RuleInfo focusableText{
    AudRuleId::focusableText, AudStandard::wcag20, AudImpact::critical, false, false,
    "Views containing text should be focusable for assistive technologies such as VoiceOver.", ""};
inline constexpr RuleInfo inScrollView{
    AudRuleId::inScrollView, AudStandard::wcag20, AudImpact::serious, false, false,
    "Text should be within a scrollable view to ensure that all elements are visible on all screen sizes.", ""};
inline constexpr RuleInfo inaccessibleAction{
    AudRuleId::inaccessibleAction, AudStandard::wcag20, AudImpact::critical, true, false,
    "An interactive view should have the ability to be activated with assistive technology.", ""};
inline constexpr RuleInfo labelAtFront{
    AudRuleId::labelAtFront, AudStandard::bestPractice, AudImpact::minor, false, false,
    "Any visible text of an interactive view should be at the start of the view's accessible name.", ""};
inline constexpr RuleInfo labelInName{
    AudRuleId::labelInName, AudStandard::wcag21, AudImpact::serious, false, false,
    "An accessibility focusable view should ensure its name includes its visible label.", ""};
inline constexpr RuleInfo nestedElementsName{
    AudRuleId::nestedElementsName, AudStandard::wcag20, AudImpact::critical, false, false,
    "A focusable view should have all visible text within its accessible name available to assistive technologies "
    "like VoiceOver and Voice Control.",
    ""};
inline constexpr RuleInfo screenOrientation{AudRuleId::screenOrientation, AudStandard::wcag21, AudImpact::serious,
                                            false, false,
                                            "Views should adhere to the user's preferred display orientation.", ""};
inline constexpr RuleInfo screenTitle{
    AudRuleId::screenTitle, AudStandard::wcag20, AudImpact::moderate, false, false,
    "Every screen within an application should provide a title to be announced by assistive technology.", ""};
inline constexpr RuleInfo supportsDynamicType{
    AudRuleId::supportsDynamicType, AudStandard::platform, AudImpact::critical, true, true,
    "Text elements should have the required properties to support Dynamic Type and resize the text to the user's "
    "device preference.",
    ""};
inline constexpr RuleInfo touchTargetSize{
    AudRuleId::touchTargetSize, AudStandard::wcag21, AudImpact::moderate, false, false,
    "All active controls should have a minimum of 44pt by 44pt visual and tappable area.", ""};
inline constexpr RuleInfo touchTargetSpacing{
    AudRuleId::touchTargetSpacing, AudStandard::wcag22, AudImpact::serious, false, false,
    "Actionable controls should have a minimum dimension of 24 x 24 points or must be positioned so that if a "
    "circle with a diameter of 24 points is placed on the center of control, the circle will not intersect with "
    "another target or with the circle for another target.",
    ""};

// A catalogued rule whose checks are not built yet: every view is
// INAPPLICABLE, so it adds no result.
class UnbuiltRule : public AudRule {
public:
    using AudRule::AudRule;
    std::shared_ptr<AudProps> collectProps(const AudView&) override { return std::make_shared<AudProps>(); }
    AudStatus runRule(const AudProps&) override { return AudStatus::inapplicable; }
};

}  // namespace audkit::unbuilt
