#pragma once

#include <cstdint>
#include <vector>

#include "audkit/platform/recognised_words.hpp"

namespace audkit {

// A horizontal band of an image, recognised on its own so that several
// recognisers can share a screen. It reaches past its seams, so that a line
// cut by a seam is whole in both bands beside it, and it keeps the lines
// whose middle lies between its seams: each line once.
struct RecognitionBand {
    int top = 0, bottom = 0;           // the rows recognised
    int keepFrom = 0, keepBefore = 0;  // the rows between its seams

    bool keeps(const std::vector<RecognisedWord>& line) const;
};

// How far a band reaches past a seam: more than the line height of any text
// a screen shows (the largest titles are about 120 pixels on a 3x screen).
constexpr int bandOverlap = 160;

// `count` bands of an ink image (dark ink on white, a byte a pixel), each
// seam put on the row with the least ink near where an even split would
// put it, so that seams fall between lines where they can. Fewer bands
// (down to one) when the image is too short to share.
std::vector<RecognitionBand> recognitionBands(const std::vector<std::uint8_t>& ink, int width, int height, int count);

}  // namespace audkit
