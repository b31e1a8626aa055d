#pragma once

#include <string>
#include <string_view>

#include "audkit/base/error.hpp"
#include "audkit/tree/rgba_image.hpp"

namespace audkit {

class ImageDecodingError : public MessageError {
public:
    using MessageError::MessageError;
};

// Image encoding and decoding as the platform provides it; the context keeps
// its screenshot as PNG and writes it into result documents as JPEG.
class ImageCodec {
public:
    virtual ~ImageCodec() = default;
    // Throw ImageDecodingError when the pixels cannot be encoded.
    virtual std::string encodePng(const RgbaImage& image) const = 0;
    virtual std::string encodeJpeg(const RgbaImage& image, int quality) const = 0;
    // A PNG or a JPEG; throws ImageDecodingError naming what was wrong.
    virtual RgbaImage decode(std::string_view bytes) const = 0;
};

// Whether the bytes start like a JPEG file.
inline bool looksLikeJpeg(std::string_view bytes) { return bytes.starts_with("\xff\xd8\xff"); }

}  // namespace audkit
