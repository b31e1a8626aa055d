#pragma once

#include <string>
#include <string_view>

#include "audkit/platform/png_codec.hpp"
#include "audkit/tree/rgba_image.hpp"

namespace audkit {

// Encodes RGBA pixels as a baseline JPEG (alpha dropped). Quality 0 to 100;
// the screenshot of a context is written at 60.
std::string encodeJpeg(const RgbaImage& image, int quality);

// Decodes a JPEG to opaque RGBA; throws ImageDecodingError.
RgbaImage decodeJpeg(std::string_view bytes);

// A PNG or a JPEG, told apart by their signatures; throws ImageDecodingError
// for anything else.
RgbaImage decodeImage(std::string_view bytes);

}  // namespace audkit
