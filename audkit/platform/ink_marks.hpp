#pragma once

#include <cstdint>
#include <vector>

namespace audkit {

// Erases the ink of an ink image that is no text and that recognition would
// read as characters or that would join lines: lines longer than any glyph
// (borders, separators, underlines), the sides of boxes whose long edges
// went, and specks.
void eraseMarksThatAreNoText(std::vector<std::uint8_t>& ink, int width, int height);

}  // namespace audkit
