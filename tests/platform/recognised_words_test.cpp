#include <gtest/gtest.h>

#include "audkit/platform/recognised_words.hpp"

namespace audkit {
namespace {

// A word of 17-point text on a 3x screenshot: ink about 40 pixels tall.
RecognisedWord word(std::string text, int left, int right, float confidence = 95) {
    return {std::move(text), confidence, left, 100, right, 140};
}

std::vector<std::string> texts(const std::vector<RecognisedWord>& line) {
    std::vector<std::string> out;
    for (const auto& observation : textsOfLine(line, 1170, 2532)) out.push_back(observation.text.value_or(""));
    return out;
}

TEST(RecognisedWords, LinesSplitAtGapsFarWiderThanASpace) {
    // A title and its value at the two ends of a row.
    EXPECT_EQ(texts({word("Wi-Fi", 50, 160), word("Home", 700, 810), word("Network", 832, 1000)}),
              (std::vector<std::string>{"Wi-Fi", "Home Network"}));
    // Spaces (about half the ink height) keep words together, even a wide one.
    EXPECT_EQ(texts({word("Search", 150, 320), word("shoes,", 344, 500), word("bags", 535, 640)}),
              (std::vector<std::string>{"Search shoes, bags"}));
    // Two pills 96 pixels apart: a gap of more than twice the ink height.
    EXPECT_EQ(texts({word("All", 90, 152), word("Shoes", 248, 396)}), (std::vector<std::string>{"All", "Shoes"}));
}

TEST(RecognisedWords, StrayMarksAreDroppedWithoutSinkingTheLine) {
    // A bar read from a border, a word read without confidence, a lone letter.
    EXPECT_EQ(texts({word("|", 20, 24), word("Notifications", 60, 330), word("xq", 340, 380, 12)}),
              (std::vector<std::string>{"Notifications"}));
    // A text of one letter or digit is no text: a badge's count, an icon.
    EXPECT_TRUE(texts({word("3", 50, 70)}).empty());
    // A stray mark far from the text does not start a text of its own.
    EXPECT_EQ(texts({word("Done", 50, 160), word("—", 700, 760)}), (std::vector<std::string>{"Done"}));
}

TEST(RecognisedWords, FilledIconsReadAsCharactersAtEitherEndAreDropped) {
    // An unread dot (a disc, 0.79 of its box) read as "e" before a sender;
    // a badge read as "o" after a title.
    auto dot = word("e", 33, 63, 92);
    dot.top = 110, dot.bottom = 140, dot.inkShare = 0.79F;
    auto badge = word("o", 380, 420, 90);
    badge.top = 105, badge.bottom = 140, badge.inkShare = 0.75F;
    EXPECT_EQ(texts({dot, word("Ana", 90, 196), word("Ribeiro", 222, 422), badge}),
              (std::vector<std::string>{"Ana Ribeiro"}));
    // Letters stay: "I" is mostly ink but thin; a bold "e" is square but half ink.
    auto capitalI = word("I", 94, 100);
    capitalI.inkShare = 1;
    auto boldE = word("e", 33, 63);
    boldE.top = 110, boldE.bottom = 140, boldE.inkShare = 0.5F;
    EXPECT_EQ(texts({capitalI, word("booked", 121, 278)}), (std::vector<std::string>{"I booked"}));
    EXPECT_EQ(texts({boldE, word("mail", 90, 190)}), (std::vector<std::string>{"e mail"}));
}

TEST(RecognisedWords, ChineseAndJapaneseWordsJoinWithoutSpacesAndLooseBoxesDoNotSizeThem) {
    EXPECT_EQ(texts({word("自宅", 50, 130), word("の", 135, 175), word("Wi-Fi", 190, 290)}),
              (std::vector<std::string>{"自宅の Wi-Fi"}));
    // "機内モード" with the box of "モー" reaching 20 pixels past its glyphs
    // both ways: the line is as tall as the others say (40 pixels of ink,
    // 0.88 em, a line of 53 pixels), not 80.
    auto loose = word("モー", 235, 296);
    loose.top -= 20, loose.bottom += 20;
    const auto observations = textsOfLine({word("機内", 97, 235), loose, word("ド", 318, 346)}, 1170, 2532);
    ASSERT_EQ(observations.size(), 1U);
    EXPECT_EQ(observations[0].text, "機内モード");
    EXPECT_NEAR(observations[0].height * 2532, 53, 1.5);
}

TEST(RecognisedWords, BoxSpansTheLineHeightAroundTheInk) {
    // Capitals and descenders ("Shop", ink 0.98 em): a 40-pixel ink box is
    // about 41 pixels of font, 48 of line, centred on the ink.
    const auto observations = textsOfLine({word("Shop", 117, 234)}, 1170, 2532);
    ASSERT_EQ(observations.size(), 1U);
    EXPECT_NEAR(observations[0].x * 1170, 117, 0.01);
    EXPECT_NEAR(observations[0].width * 1170, 117, 0.01);
    EXPECT_NEAR(observations[0].height * 2532, 48, 1);
    EXPECT_NEAR((1 - observations[0].y) * 2532 - observations[0].height * 2532 / 2, 120, 1);
}

}  // namespace
}  // namespace audkit
