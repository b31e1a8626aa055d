#include "audkit/rules/rule_colliding_views.hpp"

#include "audkit/tree/aud_view.hpp"
#include "audkit/vision/text_matching.hpp"
#include "audkit/vision/vision_helper.hpp"

namespace audkit {

std::shared_ptr<AudProps> RuleCollidingViews::collectVisionProps(
    const AudView& view, const std::vector<FoundText>& foundTexts,
    const std::vector<std::shared_ptr<AudView>>& overlapping) {
    auto props = std::make_shared<AudProps>();
    const auto offScreen = view.get(viewkey::elementOffScreen);
    if (offScreen && offScreen->offScreenAmount >= 1.0F) return props;
    // Controls and bars draw their text their own way; only content is judged.
    if (view.isChildOfProp(viewkey::isActiveControl) || view.get(viewkey::isActiveControl).value_or(false) ||
        view.isChildOfProp(viewkey::isHeaderOrFooter))
        return props;
    const auto text = view.get(viewkey::text);
    if (!text) return props;

    props->add(assignedTextKey, text);
    props->add(detectedTextKey, VisionHelper::orderedText(text, foundTexts));
    props->add(boundsInScreenKey, view.boundsInScreen);
    props->add(rulekey::isAccessibilityFocusable, view.isAccessibilityFocusable);
    if (offScreen) props->add(elementOffScreenKey, offScreen->offScreenAmount);
    std::string described;
    for (const auto& other : overlapping) {
        if (other->get(viewkey::isActiveControl) != false) continue;
        described += (described.empty() ? "" : "\n\n") + other->description();
    }
    if (!described.empty()) props->add(overlappingViewsKey, described);
    return props;
}

AudStatus RuleCollidingViews::runRule(const AudProps& props) {
    const auto assigned = props.get(assignedTextKey);
    if (!assigned) return AudStatus::inapplicable;
    if (const auto detected = props.get(detectedTextKey); detected && shownTextMatches(*detected, *assigned))
        return AudStatus::pass;
    if (props.get(elementOffScreenKey).value_or(0) > leastOffScreen) throw RuleHelperError::offScreen();
    throw CollidingViewsError::ocrFailed();
}

}  // namespace audkit
