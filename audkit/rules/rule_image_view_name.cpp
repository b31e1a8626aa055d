#include "audkit/rules/rule_image_view_name.hpp"

#include "audkit/tree/aud_view.hpp"

namespace audkit {

std::shared_ptr<AudProps> RuleImageViewName::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    if (view.elementType != AudElementType::image || view.isChildOfProp(viewkey::isAccessibilityFocusable))
        return props;
    props->add(rulekey::elementType, std::string("image"));
    props->add(rulekey::name, view.name);
    props->add(rulekey::isAccessibilityFocusable, view.isAccessibilityFocusable);
    props->add(rulekey::accessibilityIdentifier, view.accessibilityIdentifier);
    props->add(viewHierarchyTypeKey, std::string(toString(view.viewHierarchy())));
    return props;
}

AudStatus RuleImageViewName::runRule(const AudProps& props) {
    const auto focusable = props.get(rulekey::isAccessibilityFocusable);
    const auto hierarchy = props.get(viewHierarchyTypeKey);
    if (!props.contains(rulekey::name) || !focusable || !hierarchy) return AudStatus::inapplicable;
    if (*focusable && !props.get(rulekey::name)) {
        if (enumFromName<AudViewHierarchy>(*hierarchy) == AudViewHierarchy::swiftUI) throw RuleFailure(noNameMessage);
        throw MessageError(unableToDetermineFocusableMessage);
    }
    return AudStatus::pass;
}

}  // namespace audkit
