#include "audkit/rules/rule_image_view_name.hpp"

#include "audkit/rules/aud_rule_id.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {

RuleImageViewName::RuleImageViewName(std::shared_ptr<RuleConf> config)
    : AudRule(std::string(toString(AudRuleId::imageViewName)), std::move(config)) {}

std::shared_ptr<AudProps> RuleImageViewName::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    if (view.elementType != AudElementType::image || view.isChildOfProp("isAccessibilityFocusable")) return props;
    props->add("elementType", std::string("image"));
    props->add("name", view.name);
    props->add("isAccessibilityFocusable", view.isAccessibilityFocusable);
    props->add("accessibilityIdentifier", view.accessibilityIdentifier);
    props->add("viewHierarchyType", std::string(toString(view.viewHierarchy())));
    return props;
}

AudStatus RuleImageViewName::runRule(const AudProps& props) {
    const auto focusable = props.get<bool>("isAccessibilityFocusable");
    const auto hierarchy = props.get<std::string>("viewHierarchyType");
    if (!props.contains("name") || !focusable || !hierarchy) return AudStatus::inapplicable;
    if (*focusable && !props.get("name")) {
        if (enumFromName<AudViewHierarchy>(*hierarchy) == AudViewHierarchy::swiftUI) throw RuleFailure(noNameMessage);
        throw MessageError(unableToDetermineFocusableMessage);
    }
    return AudStatus::pass;
}

}  // namespace audkit
