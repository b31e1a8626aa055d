#include "audkit/rules/touch_targets.hpp"

#include <algorithm>

#include "audkit/base/text_helpers.hpp"

namespace audkit {
namespace {

bool isLink(const AudView& view) {
    return view.elementType == AudElementType::link ||
           view.get(viewkey::accessibilityTraits).value_or(AudTraits()).contains(AudTraits::link);
}

// A sibling text on the link's line (they share most of the link's height)
// that ends or starts within a line's height of it.
bool continuesTextBeside(const AudView& link, const AudView& text) {
    if (text.elementType != AudElementType::staticText || isBlank(text.text())) return false;
    const auto& a = link.boundsInScreen;
    const auto& b = text.boundsInScreen;
    const float shared = std::min(a.bottom(), b.bottom()) - std::max(a.top(), b.top());
    if (!(shared >= 0.5F * a.height())) return false;
    const float gap = std::max(b.left() - a.right(), a.left() - b.right());
    return gap <= a.height();
}

}  // namespace

bool isLinkInText(const AudView& view) {
    if (!isLink(view)) return false;
    if (view.isElementOrChildOfElementType(AudElementType::textView)) return true;
    if (!view.parent) return false;
    return std::any_of(view.parent->children.begin(), view.parent->children.end(), [&](const auto& sibling) {
        return sibling.get() != &view && !isLink(*sibling) && continuesTextBeside(view, *sibling);
    });
}

}  // namespace audkit
