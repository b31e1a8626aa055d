#include "audkit/rules/rule_touch_target_size.hpp"

#include <cmath>

#include "audkit/base/bounds_geometry.hpp"
#include "audkit/rules/touch_targets.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {

using T = AudElementType;

void RuleTouchTargetSize::setUp(const AudContext& context) { screen_ = ScanScreen::of(context); }

void RuleTouchTargetSize::tearDown() { screen_ = {}; }

std::shared_ptr<AudProps> RuleTouchTargetSize::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    const auto offScreen = view.get(viewkey::elementOffScreen);
    if (offScreen && offScreen->offScreenAmount >= 1.0F) return props;
    if (isSystemControlPart(view)) return props;

    const bool inTextField =
        view.isElementOrChildOfElementType(T::textField) || view.isElementOrChildOfElementType(T::secureTextField);
    props->add(isTextFieldKey, inTextField);
    if (isLinkInText(view)) return props;

    const auto isActiveControl = view.get(viewkey::isActiveControl);
    if (!isActiveControl || !*isActiveControl || view.isChildOfProp(viewkey::isActiveControl)) return props;
    if (isDecorativeControl(view)) return props;

    const float scale = screen_.pixelsPerPoint();
    props->add(rulekey::isActiveControl, true);
    props->add(controlWidthKey, std::round(view.boundsInScreen.width() / scale));
    props->add(controlHeightKey, std::round(view.boundsInScreen.height() / scale));
    props->add(isBehindModalKey, boundsContain(screen_.bounds, view.boundsInScreen) && !view.isVisibleToUser);
    props->add(viewHierarchyTypeKey, std::string(toString(view.viewHierarchy())));
    // The view records how much of it is off screen as a record; the rule keeps the fraction.
    if (offScreen) props->add(elementOffScreenKey, offScreen->offScreenAmount);
    return props;
}

AudStatus RuleTouchTargetSize::runRule(const AudProps& props) {
    const auto hierarchy = props.get(viewHierarchyTypeKey);
    if (!hierarchy || !props.get(rulekey::isActiveControl)) return AudStatus::inapplicable;
    const float width = props.getOrError(controlWidthKey);
    const float height = props.getOrError(controlHeightKey);
    if (width + errorMargin >= minimumPoints && height + errorMargin >= minimumPoints) return AudStatus::pass;
    if (props.get(isTextFieldKey).value_or(false) && *hierarchy == toString(AudViewHierarchy::swiftUI))
        return AudStatus::incomplete;
    if (props.getOrError(isBehindModalKey)) throw BehindModalError();
    if (props.get(elementOffScreenKey).value_or(0) > 0.001F) throw RuleHelperError::offScreen();
    return AudStatus::fail;
}

}  // namespace audkit
