#include "audkit/rules/rule_in_scroll_view.hpp"

#include "audkit/tree/aud_context.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {

using T = AudElementType;

namespace {

// Whether the text lies in a band across the whole screen fixed at its top or
// bottom: the first ancestor as wide as the screen decides.
bool inFixedBand(const AudView& view, const AudBounds& screen) {
    if (!(screen.width() > 0 && screen.height() > 0)) return false;
    for (const AudView* ancestor = view.parent; ancestor != nullptr; ancestor = ancestor->parent) {
        const auto& bounds = ancestor->boundsInScreen;
        if (bounds.left() > screen.left() + 1 || bounds.right() < screen.right() - 1) continue;
        if (bounds.height() > RuleInScrollView::fixedBandHeight * screen.height()) return false;
        const float reach = RuleInScrollView::fixedBandReach * screen.height();
        return bounds.bottom() <= screen.top() + reach || bounds.top() >= screen.bottom() - reach;
    }
    return false;
}

}  // namespace

void RuleInScrollView::setUp(const AudContext& context) {
    isFullScreen_ = context.audMetaData.isFullScreenForML;
    screen_ = ScanScreen::of(context);
}

std::shared_ptr<AudProps> RuleInScrollView::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    const auto text = view.text();
    if (view.elementType != T::staticText || !text || view.isHeaderOrFooter() ||
        view.isChildOfProp(viewkey::isHeaderOrFooter))
        return props;
    const bool inTextField =
        view.isElementOrChildOfElementType(T::textField) || view.isElementOrChildOfElementType(T::secureTextField);
    bool inScrollView = false, inScrollable = false;
    if (view.isChildOfElementType(T::scrollView) || view.isChildOfElementType(T::table) ||
        view.isChildOfElementType(T::collectionView)) {
        inScrollView = inScrollable = true;
    } else {
        inScrollView = view.isChildOfElementType(T::webView);
        inScrollable = inTextField || inScrollView || view.isElementOrChildOfElementType(T::textView);
    }
    // Bands fixed at the top or bottom stay on screen whatever the text size,
    // and a control's own title grows with its control.
    if (!inScrollable && (view.isChildOfProp(viewkey::isActiveControl) || inFixedBand(view, screen_.bounds)))
        return props;
    props->add(textKey, *text);
    props->add(isInScrollableViewKey, inScrollable);
    props->add(isInTextFieldKey, inTextField);
    props->add(isInScrollViewKey, inScrollView);
    props->add(rulekey::elementType, std::string(toString(view.elementType)));
    return props;
}

AudStatus RuleInScrollView::runRule(const AudProps& props) {
    const auto scrollable = props.get(isInScrollableViewKey);
    if (!scrollable) return AudStatus::inapplicable;
    if (*scrollable) return AudStatus::pass;
    if (isFullScreen_) throw RuleFailure(notInScrollableViewMessage);
    throw MessageError(partialScreenMessage);
}

}  // namespace audkit
