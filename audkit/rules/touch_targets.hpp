#pragma once

#include "audkit/tree/aud_view.hpp"

namespace audkit {

// Views that are no touch target of the application's own: keys of the
// system keyboard and the parts of date pickers, pickers and page indicators.
inline bool isSystemControlPart(const AudView& view) {
    using T = AudElementType;
    const bool keyboardKey =
        (view.elementType == T::keyboard || view.isChildOfElementType(T::keyboard)) && view.role == AudRole::control;
    if (keyboardKey) return true;
    for (const auto type : {T::datePicker, T::picker, T::pageIndicator})
        if (view.isElementOrChildOfElementType(type)) return true;
    return false;
}

// A link inside running text: its size and spacing follow the text's lines.
inline bool isLinkInText(const AudView& view) {
    return view.isElementOrChildOfElementType(AudElementType::textView) &&
           view.get(viewkey::accessibilityTraits).value_or(AudTraits()).contains(AudTraits::link);
}

}  // namespace audkit
