#pragma once

#include "audkit/base/aud_rect.hpp"
#include "audkit/tree/aud_context.hpp"

namespace audkit {

// The screen of the scan as the geometry rules read it in setUp: its
// rectangle in pixels and the pixels per point.
struct ScanScreen {
    AudBounds bounds;
    float scale = 0;

    static ScanScreen of(const AudContext& context) {
        return {context.audDevice.screenSize(), context.audDevice.scale};
    }
    // Without a scale (no scan set the rule up) bounds are taken as points.
    float pixelsPerPoint() const { return scale > 0 ? scale : 1.0F; }
};

}  // namespace audkit
