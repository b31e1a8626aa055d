#pragma once

#include <vector>

#include "audkit/tree/rgba_image.hpp"
#include "tools/audkit/report/findings.hpp"

namespace audkit::cli {

// Box colours by status, shared by every report that draws boxes.
struct BoxColour {
    std::uint8_t red, green, blue;
};
BoxColour boxColour(AudStatus status);

// The screenshot with a box around every view that has a finding, in the
// colour of its worst status, and a tag with the findings' numbers at its
// top-left corner (or, where another tag is there, inside, below or at its
// right end: no tag hides another). Boxes are in the screenshot's pixels (the
// views' bounds).
RgbaImage annotatedScreenshot(RgbaImage screenshot, const std::vector<Finding>& findings, float scale);

}  // namespace audkit::cli
