#include "audkit/rules/rule_catalogue.hpp"

#include <array>

#include "audkit/rules/rule_a11y_element_focus_box.hpp"
#include "audkit/rules/rule_active_control_name.hpp"
#include "audkit/rules/rule_associated_text.hpp"
#include "audkit/rules/rule_colliding_views.hpp"
#include "audkit/rules/rule_color_contrast.hpp"
#include "audkit/rules/rule_conflicting_traits.hpp"
#include "audkit/rules/rule_focusable_text.hpp"
#include "audkit/rules/rule_image_view_name.hpp"
#include "audkit/rules/rule_in_scroll_view.hpp"
#include "audkit/rules/rule_inaccessible_action.hpp"
#include "audkit/rules/rule_label_at_front.hpp"
#include "audkit/rules/rule_label_in_name.hpp"
#include "audkit/rules/rule_meaningful_accessible_name.hpp"
#include "audkit/rules/rule_nested_elements_name.hpp"
#include "audkit/rules/rule_screen_orientation.hpp"
#include "audkit/rules/rule_screen_title.hpp"
#include "audkit/rules/rule_supports_dynamic_type.hpp"
#include "audkit/rules/rule_touch_target_size.hpp"
#include "audkit/rules/rule_touch_target_spacing.hpp"
#include "audkit/rules/rule_unexposed_text.hpp"

namespace audkit {
namespace {

template <class Rule>
std::shared_ptr<AudRule> make(const RuleInfo&, std::shared_ptr<RuleConf> config) {
    return std::make_shared<Rule>(std::move(config));
}

template <class Rule>
constexpr RuleCatalogueEntry row() {
    return {&Rule::info, make<Rule>};
}

// Every built-in rule, one line each, in id order.
constexpr std::array<RuleCatalogueEntry, 20> catalogue{{
    row<RuleA11yElementFocusBox>(),
    row<RuleActiveControlName>(),
    row<RuleAssociatedText>(),
    row<RuleCollidingViews>(),
    row<RuleColorContrast>(),
    row<RuleConflictingTraits>(),
    row<RuleFocusableText>(),
    row<RuleImageViewName>(),
    row<RuleInScrollView>(),
    row<RuleInaccessibleAction>(),
    row<RuleLabelAtFront>(),
    row<RuleLabelInName>(),
    row<RuleMeaningfulAccessibleName>(),
    row<RuleNestedElementsName>(),
    row<RuleScreenOrientation>(),
    row<RuleScreenTitle>(),
    row<RuleSupportsDynamicType>(),
    row<RuleTouchTargetSize>(),
    row<RuleTouchTargetSpacing>(),
    row<RuleUnexposedText>(),
}};

constexpr bool rowsInIdOrder() {
    for (std::size_t i = 0; i < catalogue.size(); ++i)
        if (static_cast<std::size_t>(catalogue[i].info->id) != i) return false;
    return catalogue.size() == AudEnumTraits<AudRuleId>::cases.size();
}
static_assert(rowsInIdOrder(), "one catalogue row per rule id, in id order");

}  // namespace

std::span<const RuleCatalogueEntry> ruleCatalogue() { return catalogue; }

std::string standardText(const RuleInfo& info) {
    std::string standard(toString(info.standard));
    if (!info.criterion.empty()) standard += " " + std::string(info.criterion);
    return standard;
}

const RuleInfo& catalogueEntry(AudRuleId id) { return *catalogue.at(static_cast<std::size_t>(id)).info; }

std::shared_ptr<RuleConf> catalogueConf(AudRuleId id) {
    const auto& info = catalogueEntry(id);
    auto conf = std::make_shared<RuleConf>(info.impact, info.standard, std::string(info.summary), info.experimental);
    conf->ignored = info.ignoredByDefault;
    return conf;
}

std::shared_ptr<AudRule> makeRule(AudRuleId id) {
    const auto& entry = catalogue.at(static_cast<std::size_t>(id));
    return entry.make(*entry.info, catalogueConf(id));
}

}  // namespace audkit
