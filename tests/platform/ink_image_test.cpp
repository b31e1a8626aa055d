#include <gtest/gtest.h>

#include "audkit/platform/ink_image.hpp"

namespace audkit {
namespace {

struct Canvas {
    RgbaImage image;
    Canvas(std::uint32_t width, std::uint32_t height)
        : image{width, height, std::vector<std::uint8_t>(std::size_t{width} * height * 4, 255)} {}
    void fill(std::uint32_t left, std::uint32_t top, std::uint32_t right, std::uint32_t bottom, std::uint8_t grey) {
        for (auto y = top; y < bottom; ++y)
            for (auto x = left; x < right; ++x)
                for (int c = 0; c < 3; ++c) image.pixels[(std::size_t{y} * image.width + x) * 4 + c] = grey;
    }
    void set(std::uint32_t x, std::uint32_t y, std::uint8_t grey) {
        for (int c = 0; c < 3; ++c) image.pixels[(std::size_t{y} * image.width + x) * 4 + c] = grey;
    }
    // A disc drawn with anti-aliased rims: each pixel blends by how much of
    // it the disc covers (sampled four by four).
    void disc(float cx, float cy, float radius, std::uint8_t grey) {
        for (std::uint32_t y = 0; y < image.height; ++y)
            for (std::uint32_t x = 0; x < image.width; ++x) {
                int inside = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx) {
                        const float dx = static_cast<float>(x) + (static_cast<float>(sx) + 0.5F) / 4 - cx;
                        const float dy = static_cast<float>(y) + (static_cast<float>(sy) + 0.5F) / 4 - cy;
                        inside += dx * dx + dy * dy <= radius * radius ? 1 : 0;
                    }
                if (inside == 0) continue;
                const auto* pixel = image.pixels.data() + (std::size_t{y} * image.width + x) * 4;
                set(x, y, static_cast<std::uint8_t>((grey * inside + pixel[0] * (16 - inside) + 8) / 16));
            }
    }
    // A photograph's grain: grey values from `low` to 40 above, at random.
    void grain(std::uint32_t left, std::uint32_t top, std::uint32_t right, std::uint32_t bottom, std::uint8_t low,
               std::uint32_t seed) {
        for (auto y = top; y < bottom; ++y)
            for (auto x = left; x < right; ++x) {
                seed = seed * 1664525U + 1013904223U;
                set(x, y, static_cast<std::uint8_t>(low + (seed >> 24) % 40));
            }
    }
    std::uint8_t at(const std::vector<std::uint8_t>& ink, std::uint32_t x, std::uint32_t y) const {
        return ink[std::size_t{y} * image.width + x];
    }
};

TEST(InkImage, FaintTextAndTextOnRowsBecomeInkWhileBackgroundsAndBordersDoNot) {
    Canvas canvas(320, 240);
    // Faint text: grey 235 on the white page (1.2:1).
    for (std::uint32_t x = 20; x < 100; x += 10) canvas.fill(x, 20, x + 3, 40, 235);
    // A dark row, 60 pixels tall, with white text on it and white page around it.
    canvas.fill(0, 80, 320, 140, 40);
    for (std::uint32_t x = 20; x < 100; x += 10) canvas.fill(x, 100, x + 3, 120, 255);
    // A border line across the page.
    canvas.fill(0, 200, 320, 202, 120);

    const auto ink = inkImage(canvas.image);
    EXPECT_LT(canvas.at(ink, 21, 30), 64);     // faint text is ink
    EXPECT_EQ(canvas.at(ink, 25, 30), 255);    // the page between its strokes is not
    EXPECT_LT(canvas.at(ink, 21, 110), 64);    // white text on the row is ink
    EXPECT_EQ(canvas.at(ink, 200, 110), 255);  // the row itself is background
    EXPECT_EQ(canvas.at(ink, 200, 60), 255);   // and so is the page above it
    EXPECT_EQ(canvas.at(ink, 160, 200), 255);  // a line longer than any glyph is gone
}

TEST(InkImage, RimsOfPillsAndSpecksAreNoInk) {
    // A pill of grey 228 on a strip of 243 (the filter row of a shop), its
    // round ends anti-aliased, with a glyph-like bar in the middle.
    Canvas canvas(320, 160);
    canvas.fill(0, 0, 320, 160, 243);
    canvas.fill(80, 40, 240, 120, 228);
    canvas.disc(80, 80, 40, 228);
    canvas.disc(240, 80, 40, 228);
    canvas.fill(150, 60, 158, 100, 30);
    // A lone dark pixel and a dot of two by two on the strip; a full stop of
    // six by six.
    canvas.set(20, 10, 30);
    canvas.fill(300, 10, 302, 12, 30);
    canvas.fill(20, 140, 26, 146, 30);

    const auto ink = inkImage(canvas.image);
    EXPECT_LT(canvas.at(ink, 153, 80), 64);  // the glyph is ink
    EXPECT_LT(canvas.at(ink, 22, 142), 64);  // and so is the full stop
    int rimInk = 0;
    for (std::uint32_t y = 0; y < 160; ++y)
        for (std::uint32_t x = 0; x < 320; ++x) {
            const bool glyph = x >= 148 && x < 160 && y >= 58 && y < 102;
            const bool stop = x >= 18 && x < 28 && y >= 138 && y < 148;
            if (!glyph && !stop && canvas.at(ink, x, y) < 200) ++rimInk;
        }
    EXPECT_EQ(rimInk, 0);  // no rim, no lone pixel, no small dot
}

TEST(InkImage, LargeBoldLettersOnAPhotoStaySolid) {
    // A photograph's grain around a large bold white "L" (36 points on a 3x
    // screen): a stem 20 pixels wide and 80 tall, a foot 80 wide. The flat insides of its strokes make a wide
    // area, but no background: the letter must be ink throughout.
    Canvas canvas(240, 200);
    canvas.grain(0, 0, 240, 200, 70, 12345);
    canvas.fill(60, 40, 80, 120, 255);
    canvas.fill(60, 100, 140, 120, 255);

    const auto ink = inkImage(canvas.image);
    for (const auto& [x, y] : {std::pair{70U, 50U}, {70U, 80U}, {70U, 110U}, {120U, 110U}})
        EXPECT_LT(canvas.at(ink, x, y), 64) << x << "," << y;
}

TEST(InkImage, SidesOfBoxesGoButStemsOnLinesStay) {
    // A text field's outline: its top and bottom are lines, its sides are
    // shorter than a line and meet them at both ends. Inside it a stem; below
    // it an underline with a stem standing on it.
    Canvas canvas(320, 200);
    canvas.fill(10, 20, 300, 23, 120);
    canvas.fill(10, 121, 300, 124, 120);
    canvas.fill(10, 20, 13, 124, 120);
    canvas.fill(297, 20, 300, 124, 120);
    canvas.fill(30, 40, 36, 100, 30);
    canvas.fill(20, 180, 300, 182, 30);
    canvas.fill(40, 140, 45, 180, 30);

    const auto ink = inkImage(canvas.image);
    EXPECT_EQ(canvas.at(ink, 11, 70), 255);   // the left side is gone
    EXPECT_EQ(canvas.at(ink, 298, 70), 255);  // and so is the right
    EXPECT_LT(canvas.at(ink, 33, 70), 64);    // the stem inside stays
    EXPECT_LT(canvas.at(ink, 42, 160), 64);   // and so does the one on the underline
}

TEST(InkImage, APictureBesideThePageIsNotMeasuredAgainstThePage) {
    // A grainy picture, 100 rows tall, on the white page, with a dark glyph
    // in it. Measured against the page, the picture's side would be a solid
    // bar of ink that recognition reads as a letter glued to the text.
    Canvas canvas(320, 200);
    canvas.grain(80, 50, 320, 150, 120, 777);
    canvas.fill(200, 80, 205, 120, 10);

    const auto ink = inkImage(canvas.image);
    EXPECT_LT(canvas.at(ink, 202, 100), 64);  // the glyph is ink
    // The picture's side beside the page reads like its inside: grain, no bar.
    const auto inkIn = [&](std::uint32_t left) {
        int dark = 0;
        for (std::uint32_t y = 85; y < 115; ++y)
            for (std::uint32_t x = left; x < left + 40; ++x) dark += canvas.at(ink, x, y) < 128 ? 1 : 0;
        return dark;
    };
    EXPECT_LT(inkIn(80), 2 * inkIn(240) + 40);
}

}  // namespace
}  // namespace audkit
