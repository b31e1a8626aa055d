#include <gtest/gtest.h>

#include "audkit/platform/png_codec.hpp"
#include "audkit/platform/tesseract_recognizer.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

TEST(TesseractRecognizer, MissingLanguageModelIsAClearError) {
    try {
        TesseractRecognizer recognizer("xx_nosuch");
        FAIL() << "expected an error";
    } catch (const TextRecognizerError& error) {
        EXPECT_NE(
            std::string(error.what()).find("model xx_nosuch could not be loaded: install tesseract-ocr-xx-nosuch"),
            std::string::npos)
            << error.what();
    }
    // Not a language code at all: a path would name some other file.
    EXPECT_THROW(TesseractRecognizer("../eng"), TextRecognizerError);
    // Loading in the background: the same error when the loading is awaited,
    // and from a recognition that would otherwise go on without text.
    TesseractRecognizer background("eng+xx_nosuch", {2, true, nullptr});
    EXPECT_THROW(background.waitUntilLoaded(), TextRecognizerError);
    EXPECT_THROW(background.recognize(RgbaImage{8, 8, std::vector<std::uint8_t>(8 * 8 * 4, 255)}), TextRecognizerError);
}

TEST(TesseractRecognizer, TwoEnginesAndAPreparedScreenshotReadExactlyWhatOneReads) {
    // The screen is read in two bands either way; a second engine only reads
    // the second band at the same time. Nothing is lost or doubled at the seam.
    // The grey image made ahead, while the models load, is the one made later.
    const auto screenshot = decodePng(test::readFile(test::sourceDir() / "examples" / "inbox" / "screenshot.png"));
    TesseractRecognizer one("eng"), two("eng", {2, true, nullptr});
    two.prepare(std::make_shared<const RgbaImage>(screenshot));
    const auto alone = one.recognize(screenshot), together = two.recognize(screenshot);
    ASSERT_EQ(alone.size(), together.size());
    EXPECT_GT(alone.size(), 25U);
    for (std::size_t i = 0; i < alone.size(); ++i) {
        EXPECT_EQ(alone[i].text, together[i].text);
        EXPECT_EQ(alone[i].y, together[i].y);
    }
    // Another image of the same size is read for itself, not from the one prepared.
    two.prepare(std::make_shared<const RgbaImage>(screenshot));
    const RgbaImage blank{screenshot.width, screenshot.height,
                          std::vector<std::uint8_t>(screenshot.pixels.size(), 255)};
    EXPECT_TRUE(two.recognize(blank).empty());
}

TEST(TesseractRecognizer, BackgroundDistanceMakesBothPolaritiesDarkOnLight) {
    // Left half: dark ink on white; right half: white ink on black.
    RgbaImage image{64, 32, std::vector<std::uint8_t>(64 * 32 * 4, 255)};
    for (std::uint32_t y = 0; y < 32; ++y)
        for (std::uint32_t x = 32; x < 64; ++x)
            for (int c = 0; c < 3; ++c) image.pixels[(y * 64 + x) * 4 + c] = 0;
    // A stroke of three by ten pixels: anything much smaller is a speck.
    auto paint = [&](std::uint32_t left, std::uint8_t value) {
        for (std::uint32_t y = 11; y < 21; ++y)
            for (std::uint32_t x = left - 1; x <= left + 1; ++x)
                for (int c = 0; c < 3; ++c) image.pixels[(y * 64 + x) * 4 + c] = value;
    };
    paint(10, 0);    // a dark stroke on the white half
    paint(50, 255);  // a light stroke on the black half
    const auto grey = TesseractRecognizer::preprocess(image);
    EXPECT_EQ(grey[16 * 64 + 10], 0);  // ink is dark
    EXPECT_EQ(grey[16 * 64 + 50], 0);
    EXPECT_EQ(grey[2 * 64 + 2], 255);  // background is light on both halves
    EXPECT_EQ(grey[2 * 64 + 60], 255);
}

}  // namespace
}  // namespace audkit
