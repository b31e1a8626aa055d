#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <random>

#include "audkit/tree/aud_props.hpp"
#include "audkit/vision/color_contrast_helper.hpp"
#include "audkit/vision/scan_line.hpp"

namespace audkit {
namespace {

const AudColor white(255, 255, 255, 255), black(0, 0, 0, 255);

// A crop of `background` crossed by vertical strokes of `ink`, `stroke`
// pixels wide and `gap` apart, with one pixel of `edge` on each side of every
// stroke when given (anti-aliasing).
FoundText crop(AudColor ink, AudColor background, int stroke = 3, std::optional<AudColor> edge = std::nullopt,
               float fontSize = 17, float scale = 3, int width = 120, int height = 40, int gap = 9) {
    RgbaImage image{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                    std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
    const auto paint = [&](int x, int y, const AudColor& color) {
        auto* pixel = image.pixels.data() + (static_cast<std::size_t>(y) * width + x) * 4;
        pixel[0] = color.red, pixel[1] = color.green, pixel[2] = color.blue, pixel[3] = 255;
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int at = x % (stroke + gap);
            const bool inside = x >= 6 && x < width - 6 && y >= 8 && y < height - 8;
            AudColor color = background;
            if (inside && at >= 1 && at <= stroke) color = ink;
            if (inside && edge && (at == 0 || at == stroke + 1)) color = *edge;
            paint(x, y, color);
        }
    }
    FoundText found;
    found.text = "Sample";
    found.scale = scale;
    found.estimatedFontSize = fontSize;
    found.image = std::make_shared<AudBitmap>(std::move(image));
    return found;
}

TEST(ScanLine, StepsAlongTheMajorAxisAndStopsBeforeTheEnd) {
    ScanLine horizontal(AudBounds(0, 10, 0, 4), LineKind::horizontal);
    EXPECT_EQ(horizontal.startPoint(), (ScanLine::Point{0, 2}));
    EXPECT_EQ(horizontal.endPoint(), (ScanLine::Point{9, 2}));
    int steps = 0;
    while (horizontal.step()) ++steps;
    EXPECT_EQ(steps, 8);  // x from 1 to 8
    EXPECT_EQ(horizontal.currentPoint(), (ScanLine::Point{8, 2}));

    ScanLine anti(AudBounds(0, 5, 0, 20), LineKind::antiDiagonal);  // steep: along y
    EXPECT_EQ(anti.startPoint(), (ScanLine::Point{4, 0}));
    ASSERT_TRUE(anti.step());
    EXPECT_EQ(anti.currentPoint(), (ScanLine::Point{4, 1}));
    while (anti.step()) {
        EXPECT_GE(anti.currentPoint().x, 0);
        EXPECT_LT(anti.currentPoint().y, 19);
    }
    ScanLine point(AudBounds(0, 1, 0, 1), LineKind::diagonal);
    EXPECT_FALSE(point.step());
}

TEST(AudColorContrast, RatiosRoundingEqualityAndJson) {
    EXPECT_DOUBLE_EQ(AudColorContrast(white, black, 17, false, 3).contrast(), 21.0);
    EXPECT_DOUBLE_EQ(AudColorContrast(white, white, 17, false, 3).contrast(), 1.0);
    EXPECT_DOUBLE_EQ(AudColorContrast(AudColor(0, 0, 0, 0), white, 17, false, 3).contrast(), 0.0);
    // #767676 on white is the classic 4.54:1.
    EXPECT_DOUBLE_EQ(AudColorContrast(AudColor(0x76, 0x76, 0x76), white, 17, false, 3).contrast(), 4.54);
    // Pairs are equal and hash alike in either order.
    const AudColorContrast ab(AudColor(1, 2, 3), AudColor(200, 100, 50), 17, false, 3);
    const AudColorContrast ba(AudColor(200, 100, 50), AudColor(1, 2, 3), 30, true, 9);
    EXPECT_EQ(ab, ba);
    EXPECT_EQ(std::hash<AudColorContrast>{}(ab), std::hash<AudColorContrast>{}(ba));

    // The JSON form keeps its member order; reading recomputes the contrast.
    Json json = ab;
    EXPECT_EQ(json.dump(), R"({"colorA":"010203","colorB":"c86432","contrast":5.27,"estimatedFontSize":17.0,)"
                           R"("fontIsBold":false,"pixelDensity":3})");
    json["contrast"] = 99;
    const auto back = colorContrastFromJson(json);
    EXPECT_EQ(back, ab);
    EXPECT_DOUBLE_EQ(back.contrast(), 5.27);
    json.erase("pixelDensity");
    EXPECT_THROW(colorContrastFromJson(json), std::exception);
}

TEST(AudColorContrast, PropertyBagsKeepColoursAndPairsThroughJson) {
    AudProps props;
    props.add("pairs",
              std::vector<AudColorContrast>{{black, white, 17, false, 3}, {AudColor(9, 9, 9), white, 20, true, 6}});
    props.add("pair", AudColorContrast(black, white, 17, false, 3));
    props.add("word", std::string("facade"));  // six hex digits, but a word
    Json json = props;
    const auto back = propsFromJson(json);
    ASSERT_TRUE(back.get<std::vector<AudColorContrast>>("pairs"));
    EXPECT_EQ(back.get<std::vector<AudColorContrast>>("pairs")->at(1).pixelDensity, 6);
    EXPECT_EQ(back.get<AudColorContrast>("pair")->colorB, white);
    EXPECT_EQ(back.get<std::string>("word"), "facade");
    // A colour in its object form is read as a colour.
    const auto colour = propsFromJson(Json::parse(R"({"c": {"red": 1, "green": 2, "blue": 3, "alpha": 255}})"));
    EXPECT_EQ(colour.get<AudColor>("c"), AudColor(1, 2, 3));
}

TEST(ColorContrastHelper, TextAgainstItsBackgroundWithStrokeWidthAndBoldness) {
    const AudColor grey(0x76, 0x76, 0x76);
    ColorContrastHelper plain(crop(grey, white));
    plain.analyse();
    ASSERT_EQ(plain.allColorContrasts().size(), 1U);
    const auto& pair = plain.allColorContrasts().front();
    EXPECT_EQ(pair.colorA, grey);  // the text's colour first
    EXPECT_DOUBLE_EQ(pair.contrast(), 4.54);
    EXPECT_EQ(pair.pixelDensity, 3);
    EXPECT_EQ(pair.estimatedFontSize, 17);
    EXPECT_FALSE(pair.fontIsBold);  // 3 px at scale 3 is 1 pt, under 2 pt at 17 pt

    // Anti-aliased edges between text and background are blends, not colours.
    ColorContrastHelper blended(crop(black, white, 4, AudColor(128, 128, 128), 14.5F, 2));
    blended.analyse();
    ASSERT_EQ(blended.allColorContrasts().size(), 1U);
    EXPECT_DOUBLE_EQ(blended.allColorContrasts().front().contrast(), 21.0);
    EXPECT_TRUE(blended.allColorContrasts().front().fontIsBold);  // 2 pt at 14.5 pt reaches the bold stroke
    // A grey that is not on the way from one colour to the other stays.
    EXPECT_EQ(ColorContrastHelper::removingBlends({black, white, AudColor(128, 100, 128)}).size(), 3U);
    EXPECT_EQ(ColorContrastHelper::removingBlends({black, white, AudColor(128, 128, 128)}).size(), 2U);
}

// Why the analysis of this image gave up; none when it did not.
std::optional<ColorContrastError::Case> failureOf(RgbaImage image) {
    FoundText found;
    found.image = std::make_shared<AudBitmap>(std::move(image));
    try {
        ColorContrastHelper(found).analyse();
    } catch (const ColorContrastError& error) {
        return error.errorCase();
    }
    return std::nullopt;
}

TEST(ColorContrastHelper, FlatCropsAndPicturesNeedReview) {
    using Case = ColorContrastError::Case;
    EXPECT_EQ(failureOf(RgbaImage{20, 20, std::vector<std::uint8_t>(20 * 20 * 4, 255)}), Case::unableDetectColors);
    // A gradient: every pair of columns a colour of its own.
    RgbaImage ramp{60, 30, std::vector<std::uint8_t>(60 * 30 * 4, 255)};
    for (std::uint32_t y = 0; y < 30; ++y)
        for (std::uint32_t x = 0; x < 60; ++x) ramp.pixels[(y * 60 + x) * 4] = static_cast<std::uint8_t>(x / 2 * 8);
    EXPECT_EQ(failureOf(ramp), Case::tooManyColors);
    // Dark text on a gentle vertical gradient: few colours, long runs, but
    // the rows above and below the glyphs differ. Judging one shade of it as
    // the background would be a guess; a person must look.
    auto onGradient = crop(black, white).image->image();
    for (std::size_t y = 0; y < 40; ++y)
        for (std::size_t x = 0; x < 120; ++x) {
            auto* pixel = onGradient.pixels.data() + (y * 120 + x) * 4;
            if (pixel[0] == 255) pixel[0] = pixel[1] = static_cast<std::uint8_t>(200 + y / 8 * 10);
        }
    EXPECT_EQ(failureOf(onGradient), Case::tooManyColors);
    // The same text on a flat tint is judged: the rows agree.
    EXPECT_EQ(failureOf(crop(black, AudColor(0xe5, 0xf1, 0xff, 255)).image->image()), std::nullopt);
    // A bitmap whose buffer is shorter than its size cannot be read.
    EXPECT_EQ(failureOf(RgbaImage{50, 50, std::vector<std::uint8_t>(16, 0)}), Case::unableDetectColors);
}

// JPEG-born noise, the same for every run: most background pixels stay
// white and the rest lie a few levels below; ink pixels spread both ways.
RgbaImage withNoise(const FoundText& found) {
    auto image = found.image->image();
    std::mt19937 random(7);
    for (std::size_t i = 0; i + 3 < image.pixels.size(); i += 4) {
        const bool background = image.pixels[i] == 255;
        const int shift = background ? (random() % 10 < 6 ? 0 : -static_cast<int>(random() % 6) - 1)
                                     : static_cast<int>(random() % 17) - 8;
        for (std::size_t c = 0; c < 3; ++c)
            image.pixels[i + c] = static_cast<std::uint8_t>(std::clamp(image.pixels[i + c] + shift, 0, 255));
    }
    return image;
}

TEST(ColorContrastHelper, NoisyScreenshotsAreMeasuredOnTheirInk) {
    // Dark grey text on white, full of noise: measured near its true colour,
    // where no run of one exact colour forms.
    auto noisy = crop(AudColor(0x40, 0x40, 0x40, 255), white);
    noisy.image = std::make_shared<AudBitmap>(withNoise(noisy));
    ColorContrastHelper dark(noisy);
    dark.analyse();
    ASSERT_EQ(dark.allColorContrasts().size(), 1U);
    const auto& pair = dark.allColorContrasts().front();
    EXPECT_EQ(pair.colorB, white);
    EXPECT_NEAR(pair.colorA.red, 0x40, 8);
    EXPECT_GT(pair.contrast(), 9.0);

    // Thin strokes far apart (small text at 2x in a crop of mostly page),
    // every other one a lighter blend: the ink holds a fortieth of the runs
    // and is still the text's colour.
    auto thinText = crop(AudColor(0x30, 0x30, 0x30, 255), white, 2, std::nullopt, 13, 2, 240, 40, 34);
    auto pixels = thinText.image->image();
    for (std::size_t i = 0; i < pixels.pixels.size(); i += 4)
        if (pixels.pixels[i] == 0x30 && (i / 4 % 240) / 36 % 2 == 1)
            std::fill_n(pixels.pixels.begin() + static_cast<std::ptrdiff_t>(i), 3, std::uint8_t{0x98});
    thinText.image = std::make_shared<AudBitmap>(std::move(pixels));
    ColorContrastHelper thin(thinText);
    thin.analyse();
    ASSERT_EQ(thin.allColorContrasts().size(), 1U);
    EXPECT_EQ(thin.allColorContrasts().front().colorA, AudColor(0x30, 0x30, 0x30, 255));
}

}  // namespace
}  // namespace audkit
