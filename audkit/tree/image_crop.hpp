#pragma once

#include <cstdint>

#include "audkit/base/aud_rect.hpp"
#include "audkit/tree/rgba_image.hpp"

namespace audkit {

// The part of the image inside a pixel rectangle: fractional edges grow
// outwards to whole pixels, and the rectangle is clipped to the image (an
// empty image when nothing is left).
RgbaImage cropImage(const RgbaImage& image, const AudRect& pixels);

// The image with each pixel repeated `factor` times in both directions: no
// colour is made up, so what is measured on it is what the screen shows.
RgbaImage enlargedImage(const RgbaImage& image, std::uint32_t factor);

}  // namespace audkit
