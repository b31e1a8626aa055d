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

// A link inside running text: its size and spacing follow the text's lines
// (inline targets are exempt from target sizes). Either inside a text view,
// or a link that continues a line of text beside it: a sibling text on the
// same line, no further than a line's height away.
bool isLinkInText(const AudView& view);

// Drawn like a control but neither enabled nor an accessibility element (a
// row's disclosure chevron): nothing a person aims at or VoiceOver stops on.
inline bool isDecorativeControl(const AudView& view) {
    return !view.get(viewkey::isEnabled).value_or(true) && !view.isAccessibilityElement();
}

}  // namespace audkit
