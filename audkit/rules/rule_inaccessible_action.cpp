#include "audkit/rules/rule_inaccessible_action.hpp"

#include "audkit/tree/aud_view.hpp"

namespace audkit {
namespace {

using T = AudElementType;

// Views the rule does not judge: off screen, disabled, picker parts, the
// dimming view, controls inside controls, and a search field's wrapper.
bool skipped(const AudView& view) {
    const auto offScreen = view.get(viewkey::elementOffScreen);
    if (offScreen && offScreen->offScreenAmount >= 1.0F) return true;
    if (const auto traits = view.get(viewkey::accessibilityTraits)) {
        if (traits->contains(AudTraits::notEnabled) || !view.get(viewkey::isEnabled).value_or(false)) return true;
    }
    for (const auto type : {T::datePicker, T::picker})
        if (view.isElementOrChildOfElementType(type)) return true;
    if (view.className == RuleInaccessibleAction::dimmingViewClass) return true;
    if (view.parent && view.parent->get(viewkey::isActiveControl).value_or(false)) return true;
    if (view.elementType == T::searchField && !view.isAccessibilityFocusable) {
        bool focusableField = false;
        visitPreOrder(view, [&](const AudView& node) {
            focusableField = &node != &view && node.elementType == T::searchField && node.isAccessibilityFocusable;
            return focusableField ? RunStatus::stop : RunStatus::proceed;
        });
        if (focusableField) return true;
    }
    return !view.isAccessibilityFocusable && !view.get(viewkey::isActiveControl).value_or(true);
}

bool isAdjustable(const AudView& view) {
    const auto traits = view.get(viewkey::accessibilityTraits);
    return traits && traits->contains(AudTraits::adjustable);
}

// The active controls inside the view, each counted once with what it holds.
std::int64_t activeControlsBelow(const AudView& view) {
    std::int64_t count = 0;
    std::vector<const AudView*> stack;
    for (auto child = view.children.rbegin(); child != view.children.rend(); ++child) stack.push_back(child->get());
    while (!stack.empty()) {
        const auto* node = stack.back();
        stack.pop_back();
        if (node->get(viewkey::isActiveControl).value_or(false)) {
            ++count;
            continue;
        }
        for (auto child = node->children.rbegin(); child != node->children.rend(); ++child)
            stack.push_back(child->get());
    }
    return count;
}

// The first focusable view inside the view, which VoiceOver activates in its place.
const AudView* focusableInside(const AudView& view) {
    const AudView* found = nullptr;
    visitPreOrder(view, [&](const AudView& node) {
        if (&node != &view && node.isAccessibilityFocusable) found = &node;
        return found ? RunStatus::stop : RunStatus::proceed;
    });
    return found;
}

}  // namespace

std::shared_ptr<AudProps> RuleInaccessibleAction::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    if (skipped(view)) return props;
    props->add(rulekey::isActiveControl, true);
    if (view.isAccessibilityFocusable) {
        props->add(rulekey::isAccessibilityFocusable, true);
        if (view.elementType == T::slider) {
            const auto traits = view.get(viewkey::accessibilityTraits);
            props->add(hasAdjustableTraitKey,
                       traits ? std::optional(traits->contains(AudTraits::adjustable)) : std::nullopt);
        }
        if (view.get(viewkey::hasCustomA11yActions).value_or(false)) props->add(hasCustomActionsKey, true);
    } else if (const auto* child = focusableInside(view)) {
        props->add(focusableChildClassKey, child->className);
    } else {
        const AudView* parent = view.parent;
        while (parent && !parent->isAccessibilityFocusable) parent = parent->parent;
        if (!parent) {
            props->add(rulekey::isAccessibilityFocusable, false);
        } else {
            props->add(focusableParentClassKey, parent->className);
            auto count = activeControlsBelow(*parent);
            if (parent->get(viewkey::hasCustomA11yActions).value_or(false)) props->add(hasCustomActionsKey, true);
            if (parent->get(viewkey::accessibilityTraits)) {
                props->add(hasAdjustableTraitKey, isAdjustable(*parent));
                // An adjustable parent's increment and decrement are not controls of their own.
                if (isAdjustable(*parent)) count -= 2;
            }
            props->add(childControlsKey, count);
        }
    }
    if (const auto offScreen = view.get(viewkey::elementOffScreen))
        props->add(elementOffScreenKey, offScreen->offScreenAmount);
    return props;
}

AudStatus RuleInaccessibleAction::runRule(const AudProps& props) {
    const auto focusable = props.get(rulekey::isAccessibilityFocusable);
    const auto adjustable = props.get(hasAdjustableTraitKey);
    const auto children = props.get(childControlsKey);
    if (props.contains(focusableChildClassKey)) return AudStatus::pass;
    if (!children && !focusable && !adjustable) return AudStatus::inapplicable;
    if (props.get(hasCustomActionsKey).value_or(false)) return AudStatus::pass;
    if (focusable == true && adjustable != false) return AudStatus::pass;
    if (children) {
        if (!focusable && !adjustable && *children < 2) return AudStatus::pass;
        if (*children >= 2) throw MessageError(multipleChildrenMessage);
    }
    if (adjustable == true) return AudStatus::pass;
    if (props.get(elementOffScreenKey).value_or(0) > 0.001F) throw RuleHelperError::offScreen();
    if (focusable == false) throw RuleFailure(notFocusableMessage);
    if (focusable == true) throw RuleFailure(sliderNotAdjustableMessage);
    throw RuleFailure(noActionDetectedMessage);
}

}  // namespace audkit
