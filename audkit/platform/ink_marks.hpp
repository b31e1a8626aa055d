#pragma once

#include <cstdint>
#include <vector>

namespace audkit {

// Darker than this is ink in an ink image (dark ink on white, a byte a pixel).
constexpr std::uint8_t inkLevel = 160;

// Erases the ink of an ink image that is no text and that recognition would
// read as characters or that would join lines: lines longer than any glyph
// (borders, separators, underlines), the sides of boxes whose long edges
// went, and specks.
void eraseMarksThatAreNoText(std::vector<std::uint8_t>& ink, int width, int height);

}  // namespace audkit
