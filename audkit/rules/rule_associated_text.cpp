#include "audkit/rules/rule_associated_text.hpp"

#include "audkit/tree/aud_view.hpp"

namespace audkit {

std::shared_ptr<AudProps> RuleAssociatedText::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    if (view.isElementOrChildOfElementType(AudElementType::picker)) return props;
    const auto isActiveControl = view.get(viewkey::isActiveControl);
    if (isActiveControl == false || view.isChildOfProp(viewkey::isActiveControl)) return props;
    if (!view.isAccessibilityFocusable && !view.isChildOfProp(viewkey::isAccessibilityFocusable)) return props;
    const auto label = view.associatedTextForControl();
    if (!label || !label->isVisibleToUser) return props;

    if (view.isAccessibilityFocusable) {
        props->add(rulekey::name, view.name);
    } else {
        const AudView* focusable = view.parent;
        while (focusable && !focusable->isAccessibilityFocusable) focusable = focusable->parent;
        props->add(focusableViewClassKey, focusable ? std::optional(focusable->className) : std::nullopt);
        props->add(rulekey::name, focusable ? focusable->name : std::nullopt);
    }
    props->add(rulekey::isActiveControl, isActiveControl);
    props->add(rulekey::isAccessibilityFocusable, view.isAccessibilityFocusable);
    props->add(rulekey::associatedText, label->text());
    config()->impact = label->isAccessibilityFocusable ? AudImpact::serious : AudImpact::critical;
    return props;
}

AudStatus RuleAssociatedText::runRule(const AudProps& props) {
    if (!props.contains(rulekey::name)) return AudStatus::inapplicable;
    if (!props.get(rulekey::name)) throw RuleFailure(noNameMessage);
    return AudStatus::pass;
}

}  // namespace audkit
