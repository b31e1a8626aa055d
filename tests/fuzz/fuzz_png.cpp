// Image decoding: any bytes either decode or give ImageDecodingError, within
// the size limits and without reading outside the input.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "audkit/platform/jpeg_codec.hpp"
#include "audkit/platform/png_codec.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace audkit;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const auto image = decodePng(bytes, 4096);
        if (image.pixels.size() != std::size_t{image.width} * image.height * 4) __builtin_trap();
    } catch (const ImageDecodingError&) {
    }
    try {
        (void)decodeImage(bytes);
    } catch (const ImageDecodingError&) {
    }
    return 0;
}
