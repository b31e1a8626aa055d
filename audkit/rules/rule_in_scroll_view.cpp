#include "audkit/rules/rule_in_scroll_view.hpp"

#include "audkit/tree/aud_context.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {

using T = AudElementType;

void RuleInScrollView::setUp(const AudContext& context) { isFullScreen_ = context.audMetaData.isFullScreenForML; }

std::shared_ptr<AudProps> RuleInScrollView::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    const auto text = view.text();
    if (view.elementType != T::staticText || !text || view.isHeaderOrFooter() ||
        view.isChildOfProp(viewkey::isHeaderOrFooter))
        return props;
    props->add(textKey, *text);
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
