#pragma once

#include <cstdint>
#include <vector>

#include "audkit/tree/rgba_image.hpp"

namespace audkit {

// The grey image text recognition reads: each pixel's distance from the
// background around it, drawn as dark ink on white, so that text of either
// polarity, on the page or on a coloured row or button, reads alike.
std::vector<std::uint8_t> inkImage(const RgbaImage& image);

}  // namespace audkit
