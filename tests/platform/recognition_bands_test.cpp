#include <gtest/gtest.h>

#include "audkit/platform/recognition_bands.hpp"

namespace audkit {
namespace {

// An ink image (white) with dark rows of text between the given rows.
std::vector<std::uint8_t> withText(int width, int height, const std::vector<std::pair<int, int>>& lines) {
    std::vector<std::uint8_t> ink(static_cast<std::size_t>(width) * height, 255);
    for (const auto& [top, bottom] : lines)
        for (int y = top; y < bottom; ++y)
            for (int x = 10; x < width - 10; x += 3) ink[static_cast<std::size_t>(y) * width + x] = 0;
    return ink;
}

std::vector<RecognisedWord> lineAt(int top, int bottom) { return {{"Settings", 95, 10, top, 200, bottom}}; }

TEST(RecognitionBands, SeamsFallBetweenLinesAndEachLineIsKeptOnce) {
    // Lines of text every 60 rows, with a gap at rows 1240-1300 just off the middle.
    std::vector<std::pair<int, int>> lines;
    for (int top = 40; top < 2500; top += 60)
        if (top < 1200 || top > 1300) lines.emplace_back(top, top + 40);
    const auto bands = recognitionBands(withText(300, 2532, lines), 300, 2532, 2);
    ASSERT_EQ(bands.size(), 2U);
    EXPECT_EQ(bands[0].top, 0);
    EXPECT_EQ(bands[1].bottom, 2532);
    const int seam = bands[0].keepBefore;
    EXPECT_EQ(bands[1].keepFrom, seam);
    EXPECT_GE(seam, 1240);  // in the gap, not through a line
    EXPECT_LT(seam, 1300);
    // Each band reaches past the seam, so a line across it is whole in both.
    EXPECT_EQ(bands[0].bottom, seam + bandOverlap);
    EXPECT_EQ(bands[1].top, seam - bandOverlap);

    // Any line is kept by exactly one band, whichever side its middle is on.
    for (int top = seam - 100; top < seam + 60; top += 7) {
        const auto line = lineAt(top, top + 50);
        EXPECT_NE(bands[0].keeps(line), bands[1].keeps(line)) << top;
    }
    EXPECT_FALSE(bands[0].keeps({}));
}

TEST(RecognitionBands, ScreenWithoutAGapIsStillSplitAndShortImagesAreNot) {
    // Text all the way down: the seam goes near the middle regardless.
    std::vector<std::pair<int, int>> dense{{0, 2532}};
    const auto bands = recognitionBands(withText(300, 2532, dense), 300, 2532, 2);
    ASSERT_EQ(bands.size(), 2U);
    EXPECT_NEAR(bands[0].keepBefore, 1266, 2532 / 8);
    // A cropped element, a few lines tall, is read in one piece.
    const auto small = recognitionBands(withText(300, 400, {}), 300, 400, 2);
    ASSERT_EQ(small.size(), 1U);
    EXPECT_EQ(small[0].top, 0);
    EXPECT_EQ(small[0].bottom, 400);
    EXPECT_TRUE(small[0].keeps(lineAt(380, 399)));
}

}  // namespace
}  // namespace audkit
