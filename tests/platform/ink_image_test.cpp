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

}  // namespace
}  // namespace audkit
