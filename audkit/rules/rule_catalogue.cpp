#include "audkit/rules/rule_catalogue.hpp"

#include <array>

#include "audkit/rules/rule_active_control_name.hpp"
#include "audkit/rules/rule_conflicting_traits.hpp"
#include "audkit/rules/rule_image_view_name.hpp"
#include "audkit/rules/rule_meaningful_accessible_name.hpp"

namespace audkit {
namespace {

using R = AudRuleId;
using S = AudStandard;
using I = AudImpact;

template <class Rule>
std::shared_ptr<AudRule> make(std::shared_ptr<RuleConf> config) {
    return std::make_shared<Rule>(std::move(config));
}

// Every built-in rule's texts and default ratings, in catalogue order.
const std::array<RuleCatalogueEntry, 19> catalogue{{
    {R::a11yElementFocusBox, "RuleA11yElementFocusBox", S::bestPractice, I::moderate, false, false,
     "Ensures a view's accessibility path, or VoiceOver focus box, encapsulates its own visual on-screen frame.",
     nullptr},
    {R::activeControlName, "RuleActiveControlName", S::wcag20, I::critical, false, false,
     "Any interactive view should have an accessible name available for assistive technologies such as VoiceOver and "
     "Voice Control.",
     make<RuleActiveControlName>},
    {R::associatedText, "RuleAssociatedText", S::wcag20, I::serious, false, false,
     "A control should get its accessible name from a nearby label available for assistive technologies such as "
     "VoiceOver and Voice Control.",
     nullptr},
    {R::collidingViews, "RuleCollidingViews", S::platform, I::minor, false, false,
     "Views containing information should not intersect with another view, either entirely or partially.", nullptr},
    {R::colorContrast, "RuleColorContrast", S::wcag20, I::serious, false, false,
     "Ensures that each text element has a minimum 4.5:1 contrast ratio with its background and that large text has "
     "a minimum 3.0:1 contrast ratio.",
     nullptr},
    {R::conflictingTraits, "RuleConflictingTraits", S::platform, I::critical, false, false,
     "Views should not have conflicting accessibility traits.", make<RuleConflictingTraits>},
    {R::focusableText, "RuleFocusableText", S::wcag20, I::critical, false, false,
     "Views containing text should be focusable for assistive technologies such as VoiceOver.", nullptr},
    {R::imageViewName, "RuleImageViewName", S::wcag20, I::critical, false, false,
     "Focusable image elements should provide a meaningful accessible name available for assistive technologies "
     "such as VoiceOver and Voice Control.",
     make<RuleImageViewName>},
    {R::inScrollView, "RuleInScrollView", S::wcag20, I::serious, false, false,
     "Text should be within a scrollable view to ensure that all elements are visible on all screen sizes.", nullptr},
    {R::inaccessibleAction, "RuleInaccessibleAction", S::wcag20, I::critical, true, false,
     "An interactive view should have the ability to be activated with assistive technology.", nullptr},
    {R::labelAtFront, "RuleLabelAtFront", S::bestPractice, I::minor, false, false,
     "Any visible text of an interactive view should be at the start of the view's accessible name.", nullptr},
    {R::labelInName, "RuleLabelInName", S::wcag21, I::serious, false, false,
     "An accessibility focusable view should ensure its name includes its visible label.", nullptr},
    {R::meaningfulAccessibleName, "RuleMeaningfulAccessibleName", S::platform, I::minor, false, false,
     "An element's accessible name should not include its accessibility trait(s).", make<RuleMeaningfulAccessibleName>},
    {R::nestedElementsName, "RuleNestedElementsName", S::wcag20, I::critical, false, false,
     "A focusable view should have all visible text within its accessible name available to assistive technologies "
     "like VoiceOver and Voice Control.",
     nullptr},
    {R::screenOrientation, "RuleScreenOrientation", S::wcag21, I::serious, false, false,
     "Views should adhere to the user's preferred display orientation.", nullptr},
    {R::screenTitle, "RuleScreenTitle", S::wcag20, I::moderate, false, false,
     "Every screen within an application should provide a title to be announced by assistive technology.", nullptr},
    {R::supportsDynamicType, "RuleSupportsDynamicTypeXCUI", S::platform, I::critical, true, true,
     "Text elements should have the required properties to support Dynamic Type and resize the text to the user's "
     "device preference.",
     nullptr},
    {R::touchTargetSize, "RuleTouchTargetSize", S::wcag21, I::moderate, false, false,
     "All active controls should have a minimum of 44pt by 44pt visual and tappable area.", nullptr},
    {R::touchTargetSpacing, "RuleTouchTargetSpacing", S::wcag22, I::serious, false, false,
     "Actionable controls should have a minimum dimension of 24 x 24 points or must be positioned so that if a "
     "circle with a diameter of 24 points is placed on the center of control, the circle will not intersect with "
     "another target or with the circle for another target.",
     nullptr},
}};

}  // namespace

std::span<const RuleCatalogueEntry> ruleCatalogue() { return catalogue; }

const RuleCatalogueEntry& catalogueEntry(AudRuleId id) { return catalogue.at(static_cast<std::size_t>(id)); }

std::shared_ptr<RuleConf> catalogueConf(AudRuleId id) {
    const auto& entry = catalogueEntry(id);
    auto conf = std::make_shared<RuleConf>(entry.impact, entry.standard, std::string(entry.summary), entry.experimental);
    conf->ignored = entry.ignoredByDefault;
    return conf;
}

std::shared_ptr<AudRule> makeRule(AudRuleId id) {
    const auto& entry = catalogueEntry(id);
    auto conf = catalogueConf(id);
    if (entry.make != nullptr) return entry.make(std::move(conf));
    return std::make_shared<UnbuiltRule>(std::string(toString(id)), std::move(conf));
}

}  // namespace audkit
