#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "audkit/base/text_helpers.hpp"
#include "audkit/tree/aud_color.hpp"
#include "audkit/vision/found_text.hpp"
#include "audkit/vision/text_matching.hpp"
#include "audkit/vision/vision_helper.hpp"

namespace audkit {
namespace {

// A white image with a narrow black bar covering rows [inkTop, inkBottom).
RgbaImage inkedImage(std::uint32_t width, std::uint32_t height, std::uint32_t inkTop, std::uint32_t inkBottom) {
    RgbaImage image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4, 255)};
    for (std::uint32_t y = inkTop; y < inkBottom; ++y)
        for (std::uint32_t x = 2; x < std::min(width, 6U); ++x)
            for (int c = 0; c < 3; ++c) image.pixels[(static_cast<std::size_t>(y) * width + x) * 4 + c] = 0;
    return image;
}

FoundText found(const std::string& text, float left, float top, float right, float bottom) {
    FoundText result;
    result.text = text;
    result.rect = AudBounds(left, right, top, bottom);
    result.image = std::make_shared<AudBitmap>(
        inkedImage(static_cast<std::uint32_t>(right - left) + 4, static_cast<std::uint32_t>(bottom - top) + 4, 1, 3));
    return result;
}

TEST(TextMatching, JaroWinklerAndDetectedTextMatches) {
    EXPECT_DOUBLE_EQ(jaroWinkler("submit", "submit"), 1.0);
    EXPECT_DOUBLE_EQ(jaroWinkler("", "a"), 0.0);
    EXPECT_NEAR(jaroWinkler("martha", "marhta"), 0.9611, 1e-4);
    EXPECT_NEAR(jaroWinkler("dixon", "dicksonx"), 0.8133, 1e-4);
    EXPECT_TRUE(detectedTextMatches("Submt", "Submit"));
    EXPECT_TRUE(detectedTextMatches("Sign In", "signin"));
    EXPECT_TRUE(detectedTextMatches("New here? Create account", "New here?"));
    EXPECT_FALSE(detectedTextMatches("Welcome", "Password"));
    EXPECT_TRUE(detectedTextMatches("café", "café"));

    // Texts whose lengths differ more than tenfold are never alike, which the
    // length check tells without comparing them; it agrees with the score.
    const std::string prefix = "Total amount";
    for (const std::size_t repeat : {std::size_t{0}, std::size_t{12}, std::size_t{13}, std::size_t{200}}) {
        std::string longer = prefix;
        for (std::size_t i = 0; i < repeat; ++i) longer += " ab";
        const bool allowed = lengthsAllowSimilarity("Total", longer);
        if (!allowed) {
            EXPECT_LT(jaroWinkler("Total", longer), 0.7) << repeat;
        }
        EXPECT_EQ(allowed, graphemeCount(longer) <= 50) << repeat;
    }
    EXPECT_TRUE(lengthsAllowSimilarity("👍🏽👍🏽", "👍🏽👍🏽👍🏽"));  // characters, not bytes
    EXPECT_EQ(graphemeCount("👍🏽ab", 2), 2U);
    EXPECT_FALSE(detectedTextMatches("Total", std::string(1'000'000, 'x')));
}

TEST(FoundTexts, NormalisedBoxesBecomeTopLeftPixelRectangles) {
    TextDetectionHelper helper(
        std::make_shared<const RgbaImage>(RgbaImage{1000, 2000, std::vector<std::uint8_t>(1000ULL * 2000 * 4, 255)}), 2);
    const auto text = helper.makeFoundText({"Hello", 0.1, 0.2, 0.3, 0.1});
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->rect, AudBounds(100, 400, 1400, 1600));
    EXPECT_EQ(text->image->width(), 300);
    EXPECT_FALSE(helper.makeFoundText({std::nullopt, 0.1, 0.2, 0.3, 0.1}).has_value());
    EXPECT_FALSE(helper.makeFoundText({"Off", 1.5, 0.2, 0.3, 0.1}).has_value());  // nothing to crop
    TextDetectionHelper empty(nullptr, 3);
    EXPECT_THROW((void)empty.makeFoundText({"x", 0, 0, 1, 1}), TextDetectionError);
}

TEST(FoundTexts, GlyphClassesAndFontSizes) {
    EXPECT_EQ(glyphClass("ace"), 0);
    EXPECT_EQ(glyphClass("Hi"), 1);
    EXPECT_EQ(glyphClass("gym"), 2);
    EXPECT_EQ(glyphClass("People"), 3);
    EXPECT_EQ(glyphClass("jam"), 3);
    // Chinese and Japanese glyphs are nearly as tall as the font, whatever Latin is beside them.
    EXPECT_EQ(glyphClass("設定"), 4);
    EXPECT_EQ(glyphClass("Wi-Fi ネットワーク"), 4);
    EXPECT_EQ(glyphClass("안녕"), 0);  // Hangul is written with spaces and is no such script here
    EXPECT_EQ(estimatedFontSize("Hello", inkedImage(20, 45, 0, 45), 2), 23);
    // Ink on rows 10 to 53: the fourth inked row from the bottom is row 50, so the measure is 50 - 10 = 40.
    const auto crop = inkedImage(40, 60, 10, 54);
    EXPECT_EQ(inkHeight(crop), 40);
    EXPECT_EQ(estimatedFontSize("Hello", crop, 3), 18);  // ceil(1.06 * 50 / 3)
    EXPECT_FALSE(inkHeight(inkedImage(10, 10, 0, 0)).has_value());
}

TEST(VisionHelper, OrderedTextFollowsTheViewText) {
    const std::vector<FoundText> both{found("now", 0, 0, 10, 10), found("Sign in", 0, 0, 10, 10)};
    EXPECT_EQ(VisionHelper::orderedText("Sign in now", both), "Sign in now");
    const std::vector<FoundText> stranger{found("now", 0, 0, 10, 10), found("Welcome", 0, 0, 10, 10)};
    EXPECT_EQ(VisionHelper::orderedText("Sign in now", stranger), "now Welcome");
    EXPECT_EQ(VisionHelper::orderedText(std::nullopt, both), "now Sign in");
}

TEST(VisionHelper, SelectionAllowsTwentyPixelsAndNarrowsWiderLines) {
    const AudBounds frame(100, 200, 100, 140);
    const auto nearby = VisionHelper::selectFoundTexts("Total", frame, {found("Total", 85, 105, 150, 135)});
    ASSERT_EQ(nearby.size(), 1U);
    EXPECT_EQ(nearby[0].rect, AudBounds(85, 150, 105, 135));

    const auto wide = VisionHelper::selectFoundTexts("Total", frame, {found("Total", 75, 105, 150, 135)});
    ASSERT_EQ(wide.size(), 1U);
    EXPECT_EQ(wide[0].text, "Total");
    EXPECT_EQ(wide[0].rect, AudBounds(100, 200, 105, 135));
    // A line sticking out on the right is narrowed to the view's span too.
    const auto right = VisionHelper::selectFoundTexts("Total", frame, {found("Total", 110, 105, 260, 135)});
    ASSERT_EQ(right.size(), 1U);
    EXPECT_EQ(right[0].rect, AudBounds(100, 200, 105, 135));

    EXPECT_TRUE(VisionHelper::selectFoundTexts("Total", frame, {found("Cancel", 100, 105, 150, 135)}).empty());
    // A line with the same words further along the row belongs to another
    // view: it does not overlap this one.
    EXPECT_TRUE(VisionHelper::selectFoundTexts("Total", frame, {found("Total", 240, 105, 300, 135)}).empty());
}

TEST(AudColorValue, HexFormsAndLuminance) {
    const auto orange = AudColor::fromHex("ff8000");
    EXPECT_EQ(orange.red, 255);
    EXPECT_EQ(orange.green, 128);
    EXPECT_FALSE(orange.alpha.has_value());
    EXPECT_EQ(orange.description(), "0xff8000");
    const auto translucent = AudColor::fromHex("80FF8000");
    EXPECT_EQ(translucent.alpha, 128);
    EXPECT_EQ(Json(translucent).dump(), R"("ff8000")");
    EXPECT_EQ(translucent, orange);
    for (const char* bad : {"fffff", "#ffffff", "ffgg00"}) {
        try {
            (void)AudColor::fromHex(bad);
            FAIL() << bad;
        } catch (const AudColor::CannotDecodeError& error) {
            EXPECT_EQ(std::string(error.what()),
                      std::string("Cannot decode AudColor. Hex #") + bad + " could not be converted.");
        }
    }
    EXPECT_NEAR(AudColor(0, 0, 0).relativeLuminance(), 0.0, 1e-12);
    EXPECT_NEAR(AudColor(255, 255, 255).relativeLuminance(), 1.0, 1e-12);
    EXPECT_EQ(colorFromJson(Json::parse(R"({"red":1,"green":2,"blue":3,"alpha":4})")).alpha, 4);

    AudBitmap bitmap(RgbaImage{1, 1, {10, 20, 30, 40}});
    EXPECT_EQ(bitmap.pixelColor(0, 0, true).alpha, 40);
    EXPECT_EQ(bitmap.pixelColor(0, 0).alpha, 0);
    // Rows are a whole width apart: every pixel of a 3 x 2 bitmap is its own.
    RgbaImage wide{3, 2, {}};
    for (std::uint8_t i = 0; i < 6; ++i) wide.pixels.insert(wide.pixels.end(), {i, 0, 0, 255});
    AudBitmap grid(wide);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(grid.pixelColor(x + 0.5, y + 0.5).red, y * 3 + x) << x << "," << y;
    EXPECT_EQ(grid.pixelColor(2, 1, true).red, 5);
    EXPECT_EQ(grid.pixelColor(2, 1).alpha, 0);
    EXPECT_EQ(grid.pixelColor(1, 1).alpha, 255);
    ColorBucket bucket;
    bucket.add(AudColor(255, 0, 0), 3);
    bucket.add(AudColor(255, 0, 0, 0), 4);
    bucket.add(AudColor(0, 0, 255), 10);
    EXPECT_EQ(bucket.totalCount(), 17);
    EXPECT_EQ(bucket.bucket.size(), 2U);
}

}  // namespace
}  // namespace audkit
