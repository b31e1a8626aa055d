#include "audkit/platform/standard_image_codec.hpp"

#include "audkit/platform/jpeg_codec.hpp"
#include "audkit/platform/png_codec.hpp"

namespace audkit {

std::string StandardImageCodec::encodePng(const RgbaImage& image) const { return audkit::encodePng(image); }

std::string StandardImageCodec::encodeJpeg(const RgbaImage& image, int quality) const {
    return audkit::encodeJpeg(image, quality);
}

RgbaImage StandardImageCodec::decode(std::string_view bytes) const { return decodeImage(bytes); }

}  // namespace audkit
