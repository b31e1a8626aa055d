#pragma once

#include <cstdint>
#include <vector>

#include "audkit/tree/rgba_image.hpp"

namespace audkit {

// The grey image text recognition reads: each pixel's distance from the
// background around it, drawn as dark ink on white, so that text of either
// polarity, on the page or on a coloured row or button, reads alike.
std::vector<std::uint8_t> inkImage(const RgbaImage& image);

// In an ink image, darker than this is ink, and darker than the second the
// core of a stroke rather than its faint edge.
constexpr std::uint8_t inkLevel = 160;
constexpr std::uint8_t darkInk = 128;

}  // namespace audkit
