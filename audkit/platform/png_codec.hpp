#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "audkit/tree/image_codec.hpp"
#include "audkit/tree/rgba_image.hpp"

namespace audkit {

// The largest image accepted, so a hostile header cannot demand gigabytes.
constexpr std::uint32_t maxImageSide = 32768;
constexpr std::uint64_t maxImagePixels = 64ULL * 1024 * 1024;

// Decodes a PNG of any colour type and bit depth to 8-bit RGBA (opaque when
// the image has no alpha). Gamma and colour-profile chunks are ignored: pixels
// are taken as stored. Throws ImageDecodingError naming what was wrong, also
// for an image wider or higher than `largestSide` pixels (checked before any
// pixel is decoded).
RgbaImage decodePng(std::string_view bytes, std::uint32_t largestSide = maxImageSide);

// Encodes 8-bit RGBA pixels as a PNG (colour type RGBA).
std::string encodePng(const RgbaImage& image);

}  // namespace audkit
