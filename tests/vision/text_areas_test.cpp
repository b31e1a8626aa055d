#include <gtest/gtest.h>

#include "audkit/tree/aud_view.hpp"
#include "audkit/vision/text_areas.hpp"
#include "audkit/vision/text_matching.hpp"

namespace audkit {
namespace {

TEST(ShownText, WholeTextOrEnoughWholeWordsOfIt) {
    EXPECT_TRUE(shownTextMatches("Sign in, please", "Sign in"));  // holds the text, punctuation aside
    EXPECT_TRUE(shownTextMatches("SIGN IN", "Sign in!"));
    EXPECT_TRUE(shownTextMatches("测试机 Test", "测试机Test"));  // a blank recognition put between scripts
    EXPECT_FALSE(shownTextMatches("Sign on", "Sign in now"));    // 1 of 2 words found
    EXPECT_FALSE(shownTextMatches("Terms and", "Terms and conditions apply"));            // 2 of 4 words of the text
    EXPECT_TRUE(shownTextMatches("Terms and conditions", "Terms and conditions apply"));  // 3 of 4
    // The start of a word cut off by a cover does not show that word.
    EXPECT_FALSE(shownTextMatches("Terms and conditi", "Terms and conditions apply"));
    EXPECT_FALSE(shownTextMatches("Free delivery on every or...", "Free delivery on every order over 50 euros"));
    // Recognition errors are allowed within the share: two thirds up to five
    // words found, four fifths above.
    EXPECT_TRUE(shownTextMatches("Order l234 shipped", "Order 1234 shipped"));
    EXPECT_FALSE(shownTextMatches("Y0ur 0rder of five items has shipped", "Your order of five items has shipped"));
    EXPECT_TRUE(shownTextMatches("Your order of five items has shipp3d", "Your order of five items has shipped"));
    // Doubled blanks leave empty pieces, which never count.
    EXPECT_FALSE(shownTextMatches("Sign    in", "Sign in now"));
    EXPECT_FALSE(shownTextMatches("", "Sign in"));
}

std::shared_ptr<AudView> label(const std::string& className, const std::string& text) {
    AudView::Fields fields;
    fields.className = className;
    fields.elementType = AudElementType::staticText;
    auto props = std::make_shared<AudProps>();
    props->add("text", text);
    return AudView::make(std::move(fields), std::move(props), nullptr);
}

FoundText found(const std::string& text, AudBounds rect) {
    FoundText line;
    line.text = text;
    line.rect = rect;
    return line;
}

TEST(TextAreas, OverlappingViewsAreNeighboursWhoseFoundTextsReadDifferently) {
    const auto title = label("Title", "Winter sale");
    const auto badge = label("Badge", "New");
    const auto twin = label("Twin", "Winter sale");
    const auto far = label("Far", "Elsewhere");
    const auto empty = label("Empty", "Nothing found");
    const VisionMap map{
        // The title's found text does not read as its text: something covers it.
        {title, {found("OFF 50", AudBounds(0, 300, 0, 60))}},
        {badge, {found("NEW", AudBounds(250, 330, 10, 50))}},
        {twin, {found("OFF 50", AudBounds(0, 100, 0, 60))}},  // reads like the title: no collision
        {far, {found("Elsewhere", AudBounds(0, 300, 2000, 2060))}},
        {empty, {found("", AudBounds(0, 0, 0, 0))}},
    };
    const TextAreas areas(map);
    const auto overlapping = areas.overlapping(0);
    ASSERT_EQ(overlapping.size(), 1U);
    EXPECT_EQ(overlapping.front(), badge);
    // The badge reads as its text: nothing is reported for it.
    EXPECT_TRUE(areas.overlapping(1).empty());
    // A view with no text area overlaps nothing.
    EXPECT_TRUE(areas.overlapping(4).empty());
}

}  // namespace
}  // namespace audkit
