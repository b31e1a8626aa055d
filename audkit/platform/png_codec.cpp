#include "audkit/platform/png_codec.hpp"

#include <cstdlib>
#include <memory>
#include <spng.h>

namespace audkit {
namespace {

struct ContextDeleter {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

void check(int status, const char* step) {
    if (status != 0) throw ImageDecodingError(std::string("PNG ") + step + " failed: " + spng_strerror(status));
}

}  // namespace

RgbaImage decodePng(std::string_view bytes, std::uint32_t largestSide) {
    std::unique_ptr<spng_ctx, ContextDeleter> context(spng_ctx_new(0));
    if (!context) throw ImageDecodingError("PNG decoder could not be created");
    check(spng_set_image_limits(context.get(), maxImageSide, maxImageSide), "limit setting");
    check(spng_set_chunk_limits(context.get(), 16U * 1024 * 1024, 64U * 1024 * 1024), "limit setting");
    check(spng_set_png_buffer(context.get(), bytes.data(), bytes.size()), "reading");

    spng_ihdr header{};
    check(spng_get_ihdr(context.get(), &header), "header reading");
    if (header.width > largestSide || header.height > largestSide)
        throw ImageDecodingError("PNG image of " + std::to_string(header.width) + "x" + std::to_string(header.height) +
                                 " pixels is larger than the " + std::to_string(largestSide) +
                                 " pixels a side accepted");
    if (static_cast<std::uint64_t>(header.width) * header.height > maxImagePixels)
        throw ImageDecodingError("PNG image of " + std::to_string(header.width) + "x" + std::to_string(header.height) +
                                 " pixels is larger than the " + std::to_string(maxImagePixels) + " pixels accepted");

    std::size_t size = 0;
    check(spng_decoded_image_size(context.get(), SPNG_FMT_RGBA8, &size), "size computation");
    RgbaImage image;
    image.width = header.width;
    image.height = header.height;
    image.pixels.resize(size);
    check(spng_decode_image(context.get(), image.pixels.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS), "decoding");
    return image;
}

std::string encodePng(const RgbaImage& image) {
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 4)
        throw ImageDecodingError("PNG encoding needs width x height x 4 bytes of pixels");
    std::unique_ptr<spng_ctx, ContextDeleter> context(spng_ctx_new(SPNG_CTX_ENCODER));
    if (!context) throw ImageDecodingError("PNG encoder could not be created");
    check(spng_set_option(context.get(), SPNG_ENCODE_TO_BUFFER, 1), "encoder setting");
    // Screenshots are large and encoded on every scan: fast compression keeps
    // that quick for files only a little larger.
    check(spng_set_option(context.get(), SPNG_IMG_COMPRESSION_LEVEL, 1), "encoder setting");
    check(spng_set_option(context.get(), SPNG_FILTER_CHOICE, SPNG_FILTER_CHOICE_SUB), "encoder setting");
    spng_ihdr header{};
    header.width = image.width;
    header.height = image.height;
    header.bit_depth = 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    check(spng_set_ihdr(context.get(), &header), "header writing");
    check(
        spng_encode_image(context.get(), image.pixels.data(), image.pixels.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE),
        "encoding");
    std::size_t size = 0;
    int status = 0;
    void* buffer = spng_get_png_buffer(context.get(), &size, &status);
    check(status, "encoding");
    std::string bytes(static_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}

}  // namespace audkit
