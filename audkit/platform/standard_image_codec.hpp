#pragma once

#include "audkit/tree/image_codec.hpp"

namespace audkit {

// Image coding with libspng (PNG) and TurboJPEG (JPEG).
class StandardImageCodec : public ImageCodec {
public:
    std::string encodePng(const RgbaImage& image) const override;
    std::string encodeJpeg(const RgbaImage& image, int quality) const override;
    RgbaImage decode(std::string_view bytes) const override;
};

}  // namespace audkit
