#include "audkit/rules/rule_a11y_element_focus_box.hpp"

#include <algorithm>

#include "audkit/base/bounds_geometry.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {
namespace {

bool isVisiblePart(AudElementType type) {
    const auto& parts = RuleA11yElementFocusBox::visibleParts;
    return std::find(parts.begin(), parts.end(), type) != parts.end();
}

// The union of the frames of the view's visible parts, or its own bounds
// when it has none.
AudBounds calculatedVisibleFrame(const AudView& view) {
    AudBounds frame;
    std::vector<const AudView*> stack{&view};
    while (!stack.empty()) {
        const auto* node = stack.back();
        stack.pop_back();
        if (isVisiblePart(node->elementType)) {
            frame = boundsUnionIgnoringEmpties(frame, node->boundsInScreen);
            continue;
        }
        for (auto child = node->children.rbegin(); child != node->children.rend(); ++child)
            stack.push_back(child->get());
    }
    return frame == AudBounds() ? view.boundsInScreen : frame;
}

}  // namespace

void RuleA11yElementFocusBox::setUp(const AudContext& context) { screen_ = ScanScreen::of(context); }

void RuleA11yElementFocusBox::tearDown() { screen_ = {}; }

std::shared_ptr<AudProps> RuleA11yElementFocusBox::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    const auto offScreen = view.get(viewkey::elementOffScreen);
    if (offScreen && offScreen->offScreenAmount >= 1.0F) return props;
    if (!view.isAccessibilityFocusable || view.elementType == AudElementType::progressIndicator) return props;

    const auto frame = calculatedVisibleFrame(view);
    props->add(accessibilityPathKey, view.get(viewkey::accessibilityPath));
    props->add(rulekey::isAccessibilityFocusable, true);
    props->add(rulekey::elementType, std::string(toString(view.elementType)));
    props->add(elementOffScreenKey, offScreen ? std::optional(offScreen->offScreenAmount) : std::nullopt);
    props->add(frame == view.boundsInScreen ? boundsInScreenKey : calculatedVisibleFrameKey, frame);
    return props;
}

AudStatus RuleA11yElementFocusBox::runRule(const AudProps& props) {
    if (!props.contains(accessibilityPathKey)) return AudStatus::inapplicable;
    const auto path = props.get(accessibilityPathKey);
    if (!path) return AudStatus::pass;
    if (props.get(rulekey::elementType) == "pageIndicator") return AudStatus::pass;
    auto frame = props.get(boundsInScreenKey);
    if (!frame) frame = props.get(calculatedVisibleFrameKey);
    if (!frame) throw A11yElementError::couldNotFindViewsFrame();

    // Only the part of the frame on screen needs covering, and the box may fall
    // short of it by less than a point in each direction.
    const auto clipped = boundsIntersection(*frame, screen_.bounds).value_or(*frame);
    const float tolerance = tolerancePoints * screen_.pixelsPerPoint();
    if (const auto covered = boundsIntersection(*path, clipped);
        covered && covered->width() + tolerance >= clipped.width() && covered->height() + tolerance >= clipped.height())
        return AudStatus::pass;
    if (*path == AudBounds()) throw A11yElementError::partiallyOffScreen();
    if (props.get(elementOffScreenKey).value_or(0) > 0.001F) throw RuleHelperError::offScreen();
    return AudStatus::fail;
}

}  // namespace audkit
