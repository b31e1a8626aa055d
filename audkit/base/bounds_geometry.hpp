#pragma once

#include <algorithm>
#include <optional>

#include "audkit/base/aud_rect.hpp"

namespace audkit {

// Rectangle questions, on coordinates as stored.

inline bool boundsContain(const AudBounds& outer, const AudBounds& inner) {
    return outer.left() <= inner.left() && inner.right() <= outer.right() && outer.top() <= inner.top() &&
           inner.bottom() <= outer.bottom();
}

// None when the overlap has no width or no height.
inline std::optional<AudBounds> boundsIntersection(const AudBounds& a, const AudBounds& b) {
    const AudBounds overlap(std::max(a.left(), b.left()), std::min(a.right(), b.right()), std::max(a.top(), b.top()),
                            std::min(a.bottom(), b.bottom()));
    if (overlap.width() <= 0 || overlap.height() <= 0) return std::nullopt;
    return overlap;
}

// An empty rectangle (no width or no height) adds nothing.
inline AudBounds boundsUnionIgnoringEmpties(const AudBounds& a, const AudBounds& b) {
    if (a.width() == 0 || a.height() == 0) return b;
    if (b.width() == 0 || b.height() == 0) return a;
    return AudBounds(std::min(a.left(), b.left()), std::max(a.right(), b.right()), std::min(a.top(), b.top()),
                     std::max(a.bottom(), b.bottom()));
}

}  // namespace audkit
