#include "audkit/rules/rule_active_control_name.hpp"

#include "audkit/rules/touch_targets.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {

using T = AudElementType;

std::shared_ptr<AudProps> RuleActiveControlName::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    if (view.elementType == T::datePicker || view.elementType == T::picker ||
        view.isChildOfElementType(T::datePicker) || view.isChildOfElementType(T::picker))
        return props;
    if (view.elementType == T::image && view.isAccessibilityFocusable &&
        view.viewHierarchy() == AudViewHierarchy::uiKit)
        return props;  // such images are judged by ImageViewName
    const auto isActiveControl = view.get(viewkey::isActiveControl);
    if (!isActiveControl || !view.isAccessibilityFocusable) return props;

    auto label = view.associatedTextForControl();
    if (!*isActiveControl) {
        // A focusable container speaks for the first inner control that is not focusable itself.
        const AudView* innerControl = nullptr;
        visitPreOrder(view, [&](const AudView& node) {
            if (node.get(viewkey::isActiveControl).value_or(false) && !node.isAccessibilityFocusable &&
                !isDecorativeControl(node)) {
                innerControl = &node;
                return RunStatus::stop;
            }
            return RunStatus::proceed;
        });
        if (innerControl == nullptr) return props;
        label = innerControl->associatedTextForControl();
    }
    isChildOfStepper_ = view.isChildOfElementType(T::stepper);
    const auto labelText = label ? label->text() : std::nullopt;
    elementName_ = view.name ? view.name : labelText;
    // A page control is announced by its value ("page 1 of 3"), which says
    // what it is: the platform gives it no label.
    if (!elementName_ && view.elementType == T::pageIndicator) elementName_ = view.value;

    props->add(rulekey::isActiveControl, *isActiveControl);
    props->add(rulekey::isAccessibilityFocusable, view.isAccessibilityFocusable);
    props->add(rulekey::name, view.name);
    props->add(rulekey::associatedText, labelText);
    return props;
}

AudStatus RuleActiveControlName::runRule(const AudProps& props) {
    if (!props.contains(rulekey::name)) return AudStatus::inapplicable;
    if (!elementName_) throw RuleFailure(noNameMessage);
    if (isChildOfStepper_ && (*elementName_ == "Increment" || *elementName_ == "Decrement"))
        throw RuleFailure(defaultStepperButtonNameMessage);
    return AudStatus::pass;
}

}  // namespace audkit
