#include <gtest/gtest.h>

#include "audkit/platform/png_codec.hpp"

namespace audkit {
namespace {

TEST(PngCodec, RoundTripsRgbaPixels) {
    RgbaImage image;
    image.width = 3;
    image.height = 2;
    for (std::uint8_t i = 0; i < 24; ++i) image.pixels.push_back(static_cast<std::uint8_t>(i * 10));
    const auto decoded = decodePng(encodePng(image));
    EXPECT_EQ(decoded.width, 3U);
    EXPECT_EQ(decoded.height, 2U);
    EXPECT_EQ(decoded.pixels, image.pixels);
}

TEST(PngCodec, RejectsTruncatedAndOversizedImages) {
    RgbaImage image;
    image.width = 16;
    image.height = 16;
    image.pixels.assign(16 * 16 * 4, 7);
    const auto bytes = encodePng(image);
    EXPECT_THROW((void)decodePng(bytes.substr(0, bytes.size() / 2)), ImageDecodingError);
    EXPECT_THROW((void)decodePng(""), ImageDecodingError);

    // A valid header that claims 30000 x 30000 pixels: refused before any allocation.
    RgbaImage tall;
    tall.width = 1;
    tall.height = 1;
    tall.pixels.assign(4, 0);
    auto huge = encodePng(tall);
    const unsigned char side[4] = {0x00, 0x00, 0x75, 0x30};  // 30000, big-endian
    huge.replace(16, 4, reinterpret_cast<const char*>(side), 4);
    huge.replace(20, 4, reinterpret_cast<const char*>(side), 4);
    EXPECT_THROW((void)decodePng(huge), ImageDecodingError);
}

}  // namespace
}  // namespace audkit
