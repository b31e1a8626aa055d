#include "audkit/rules/rule_focusable_text.hpp"

#include "audkit/base/bounds_geometry.hpp"
#include "audkit/tree/aud_context.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/vision/text_matching.hpp"
#include "audkit/vision/vision_helper.hpp"

namespace audkit {
namespace {

using T = AudElementType;

// Focusable itself, by its bag, or through a focusable ancestor.
bool countsAsFocusable(const AudView& view) {
    return view.isAccessibilityFocusable || view.get(viewkey::isAccessibilityFocusable).value_or(false) ||
           view.isChildOfProp(viewkey::isAccessibilityFocusable);
}

}  // namespace

void RuleFocusableText::setUp(const AudContext& context) {
    VisionRule::setUp(context);
    scale_ = context.audDevice.scale;
    const auto screen = context.audDevice.screenSize();
    accessibilityPathGrid_.emplace(screen);
    associatedTextGrid_.emplace(screen);
    if (!context.audView) return;
    context.audView->runOnSelfAndDescendants([&](const AudView& node) {
        const auto view = std::const_pointer_cast<AudView>(node.shared_from_this());
        const auto path = node.get(viewkey::accessibilityPath);
        if (path && !(*path == AudBounds()) && node.isAccessibilityFocusable)
            accessibilityPathGrid_->insert(view, *path);
        if (const auto label = node.associatedTextForControl(); label && countsAsFocusable(node))
            associatedTextGrid_->insert(view, label->boundsInScreen);
        return RunStatus::proceed;
    });
}

void RuleFocusableText::tearDown() {
    accessibilityPathGrid_.reset();
    associatedTextGrid_.reset();
}

std::shared_ptr<AudProps> RuleFocusableText::collectVisionProps(const AudView& view,
                                                                const std::vector<FoundText>& foundTexts,
                                                                const std::vector<std::shared_ptr<AudView>>&) {
    auto props = std::make_shared<AudProps>();
    const auto text = view.get(viewkey::text);
    if (!text || view.elementType != T::staticText) return props;
    const bool focusable = countsAsFocusable(view);
    props->add(textKey, text);
    props->add(detectedTextKey, VisionHelper::orderedText(text, foundTexts));
    props->add(isVisibleToUserKey, view.isVisibleToUser);
    props->add(rulekey::elementType, std::string(toString(T::staticText)));
    props->add(rulekey::isAccessibilityFocusable, focusable);
    if (const auto offScreen = view.get(viewkey::elementOffScreen))
        props->add(elementOffScreenKey, offScreen->offScreenAmount);
    isInTableOrCollection_ = false;
    if (focusable) return props;

    const auto& bounds = view.boundsInScreen;
    const float leastCover = leastCoverPoints * scale_;
    if (accessibilityPathGrid_) {
        for (const auto& container : accessibilityPathGrid_->views(bounds)) {
            const auto path = container->get(viewkey::accessibilityPath);
            const auto cover = path ? boundsIntersection(*path, bounds) : std::nullopt;
            if (!cover || cover->width() < leastCover || cover->height() < leastCover) continue;
            props->add(containerClassNameKey, container->className);
            props->add(containerElementTypeKey, std::string(toString(container->elementType)));
            if (container->role != AudRole::control) props->add(containerNameKey, container->name);
        }
    }
    if (associatedTextGrid_) {
        for (const auto& control : associatedTextGrid_->views(bounds)) {
            // Only a label that lies on the text makes the text that control's
            // label; a label in the same cell but beside it says nothing.
            const auto label = control->associatedTextForControl();
            if (!label || !boundsIntersection(label->boundsInScreen, bounds)) continue;
            props->add(controlClassNameKey, control->className);
            props->add(controlElementTypeKey, std::string(toString(control->elementType)));
        }
    }
    isInTableOrCollection_ =
        view.isElementOrChildOfElementType(T::table) || view.isElementOrChildOfElementType(T::collectionView);
    return props;
}

AudStatus RuleFocusableText::runRule(const AudProps& props) {
    const auto focusable = props.get(rulekey::isAccessibilityFocusable);
    const auto text = props.get(textKey);
    const auto detected = props.get(detectedTextKey);
    const auto visible = props.get(isVisibleToUserKey);
    if (!focusable || !text || !detected || !visible || !*visible) return AudStatus::inapplicable;
    if (props.get(elementOffScreenKey).value_or(0) > mostOffScreen) return AudStatus::inapplicable;
    // Text not confirmed on the screenshot is not judged.
    if (detected->empty() || !shownTextMatches(*detected, *text)) return AudStatus::inapplicable;
    if (*focusable) return AudStatus::pass;

    if (props.contains(containerNameKey)) {
        const auto name = props.get(containerNameKey);
        return name && name->find(*text) != std::string::npos ? AudStatus::pass : AudStatus::fail;
    }
    if (props.contains(containerClassNameKey) || props.contains(controlClassNameKey)) return AudStatus::pass;
    return isInTableOrCollection_ ? AudStatus::pass : AudStatus::fail;
}

}  // namespace audkit
