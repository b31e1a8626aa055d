#include <gtest/gtest.h>

#include <cstdlib>

#include "audkit/base/base64.hpp"
#include "audkit/platform/jpeg_codec.hpp"
#include "audkit/tree/image_crop.hpp"

namespace audkit {
namespace {

RgbaImage gradient(std::uint32_t width, std::uint32_t height) {
    RgbaImage image{width, height, {}};
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            image.pixels.insert(image.pixels.end(),
                                {static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4), 128, 255});
    return image;
}

TEST(Base64, EncodesAndDecodesTheStandardAlphabet) {
    EXPECT_EQ(base64Encode(""), "");
    EXPECT_EQ(base64Encode("f"), "Zg==");
    EXPECT_EQ(base64Encode("fo"), "Zm8=");
    EXPECT_EQ(base64Encode("foobar"), "Zm9vYmFy");
    EXPECT_EQ(base64Encode("\xfb\xff"), "+/8=");
    EXPECT_EQ(base64Decode("Zm9vYmE="), "fooba");
    EXPECT_EQ(base64Decode("+/8="), "\xfb\xff");
    for (const char* bad : {"Zm9", "Zm9v\nYmFy", "Z===", "Zg==Zg==", "Zm-v", "=Zm9"})
        EXPECT_FALSE(base64Decode(bad).has_value()) << bad;
}

TEST(JpegCodec, RoundTripsCloseToTheOriginal) {
    const auto image = gradient(64, 48);
    const auto jpeg = encodeJpeg(image, 60);
    ASSERT_TRUE(jpeg.starts_with("\xff\xd8"));
    const auto decoded = decodeImage(jpeg);
    ASSERT_EQ(decoded.width, 64U);
    ASSERT_EQ(decoded.height, 48U);
    int worst = 0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i)
        worst = std::max(worst, std::abs(int(image.pixels[i]) - int(decoded.pixels[i])));
    EXPECT_LT(worst, 24);
    EXPECT_EQ(decoded.pixels[3], 255);  // opaque
}

TEST(JpegCodec, RejectsDataThatIsNoImage) {
    const auto jpeg = encodeJpeg(gradient(16, 16), 60);
    EXPECT_THROW((void)decodeImage(jpeg.substr(0, 20)), ImageDecodingError);
    EXPECT_THROW((void)decodeImage("GIF89a"), ImageDecodingError);
    EXPECT_THROW((void)encodeJpeg(RgbaImage{}, 60), ImageDecodingError);
}

TEST(ImageCrop, GrowsFractionalEdgesAndClipsToTheImage) {
    const auto image = gradient(10, 10);
    const auto crop = cropImage(image, AudRect(2.5F, 5.2F, 1, 3));
    EXPECT_EQ(crop.width, 4U);  // 2 to 6
    EXPECT_EQ(crop.height, 2U);
    EXPECT_EQ(crop.pixels[0], 8);  // x = 2
    EXPECT_EQ(crop.pixels[1], 4);  // y = 1
    const auto clipped = cropImage(image, AudRect(-5, 4, 8, 30));
    EXPECT_EQ(clipped.width, 4U);
    EXPECT_EQ(clipped.height, 2U);
    EXPECT_EQ(cropImage(image, AudRect(20, 30, 0, 5)).width, 0U);
}

}  // namespace
}  // namespace audkit
