#include "audkit/platform/jpeg_codec.hpp"

#include <memory>
#include <turbojpeg.h>

namespace audkit {
namespace {

struct HandleDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Handle = std::unique_ptr<void, HandleDeleter>;

[[noreturn]] void fail(void* handle, const char* step) {
    throw ImageDecodingError(std::string("JPEG ") + step + " failed: " + tjGetErrorStr2(handle));
}

}  // namespace

std::string encodeJpeg(const RgbaImage& image, int quality) {
    if (image.width == 0 || image.height == 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        throw ImageDecodingError("JPEG encoding needs a non-empty image of width x height x 4 bytes");
    Handle handle(tjInitCompress());
    if (!handle) throw ImageDecodingError("JPEG encoder could not be created");
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (tjCompress2(handle.get(), image.pixels.data(), static_cast<int>(image.width), 0, static_cast<int>(image.height),
                    TJPF_RGBA, &buffer, &size, TJSAMP_420, quality, TJFLAG_ACCURATEDCT) != 0) {
        tjFree(buffer);
        fail(handle.get(), "encoding");
    }
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    tjFree(buffer);
    return bytes;
}

RgbaImage decodeJpeg(std::string_view bytes) {
    Handle handle(tjInitDecompress());
    if (!handle) throw ImageDecodingError("JPEG decoder could not be created");
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    int width = 0, height = 0, subsampling = 0, colorspace = 0;
    if (tjDecompressHeader3(handle.get(), data, bytes.size(), &width, &height, &subsampling, &colorspace) != 0)
        fail(handle.get(), "header reading");
    if (width <= 0 || height <= 0 ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > maxImagePixels)
        throw ImageDecodingError("JPEG image of " + std::to_string(width) + "x" + std::to_string(height) +
                                 " pixels is outside the accepted size");
    RgbaImage image;
    image.width = static_cast<std::uint32_t>(width);
    image.height = static_cast<std::uint32_t>(height);
    image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    if (tjDecompress2(handle.get(), data, bytes.size(), image.pixels.data(), width, 0, height, TJPF_RGBA,
                      TJFLAG_ACCURATEDCT) != 0)
        fail(handle.get(), "decoding");
    return image;
}

RgbaImage decodeImage(std::string_view bytes) {
    if (bytes.starts_with("\x89PNG\r\n\x1a\n")) return decodePng(bytes);
    if (looksLikeJpeg(bytes)) return decodeJpeg(bytes);
    throw ImageDecodingError("data is neither a PNG nor a JPEG image");
}

}  // namespace audkit
