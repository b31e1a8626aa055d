#include <gtest/gtest.h>

#include "audkit/rules/rule_unexposed_text.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using R = RuleUnexposedText;

std::vector<std::string> textsOf(const AudRuleResult& result) {
    return result.props->get(R::textsKey).value_or(std::vector<std::string>{});
}

// A game's quit dialog drawn on a surface whose tree holds only empty views:
// every line of text is reported, on the smallest view that holds it, in
// reading order (a picture without a label exposes none of its text); what the
// system draws, icon glyphs, specks and texture read with little confidence
// are not text of the application.
TEST(RuleUnexposedText, DrawnTextWithoutElementsIsReportedWhereItLies) {
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"window"}).frame(0, 0, 390, 844);
    screen.add("window", T::window, "UIWindow", {"surface"}).frame(0, 0, 390, 844);
    screen.add("surface", T::other, "Surface", {"board", "dialog", "bar", "banner"}).frame(0, 0, 390, 844);
    screen.add("board", T::other, "Board").frame(0, 100, 390, 300);
    screen.add("dialog", T::other, "Dialog", {"buttons"}).frame(45, 420, 300, 200);
    screen.add("buttons", T::other, "Buttons").frame(45, 560, 300, 60);
    screen.add("bar", T::other, "Bar").frame(0, 760, 390, 50);
    screen.add("banner", T::image, "Banner").focusable().frame(0, 640, 390, 100);
    const auto byClass = test::resultsByClass(screen, AudRuleId::unexposedText,
                                              {{"9:41", 40, 15, 50, 20},
                                               {"退出游戏", 150, 440, 90, 30},
                                               {"确定", 240, 575, 40, 24},
                                               {"取消", 100, 576, 40, 24},
                                               {"Q", 350, 150, 20, 20},
                                               {"=i", 20, 150, 20, 20},
                                               {"eer", 100, 200, 60, 20, 0.6F},
                                               {"Play now", 20, 770, 100, 24},
                                               {"Shop", 200, 770, 100, 24},
                                               {"Summer sale", 100, 670, 150, 30}});
    ASSERT_TRUE(byClass.contains("Dialog"));
    EXPECT_EQ(byClass.at("Dialog")->status, AudStatus::fail);
    EXPECT_EQ(textsOf(*byClass.at("Dialog")), std::vector<std::string>{"退出游戏"});
    ASSERT_TRUE(byClass.contains("Buttons"));
    EXPECT_EQ(textsOf(*byClass.at("Buttons")), (std::vector<std::string>{"取消", "确定"}));
    EXPECT_EQ(byClass.at("Buttons")->ruleSummary, R::failureMessage({"取消", "确定"}));
    EXPECT_EQ(byClass.at("Buttons")->impact, AudImpact::critical);
    ASSERT_TRUE(byClass.contains("Bar"));
    EXPECT_EQ(textsOf(*byClass.at("Bar")), (std::vector<std::string>{"Play now", "Shop"}));
    // The box around the lines, in pixels (the screen is at 3x).
    const auto frame = byClass.at("Bar")->props->get(R::textFrameKey).value_or(AudBounds());
    EXPECT_NEAR(frame.left(), 60, 0.1);
    EXPECT_NEAR(frame.right(), 900, 0.1);
    EXPECT_NEAR(frame.top(), 2310, 0.1);
    EXPECT_NEAR(frame.bottom(), 2382, 0.1);
    ASSERT_TRUE(byClass.contains("Banner"));
    EXPECT_EQ(textsOf(*byClass.at("Banner")), std::vector<std::string>{"Summer sale"});
    // The status bar's clock, a glyph, a speck and photo texture read as words.
    EXPECT_FALSE(byClass.contains("Board"));
    EXPECT_FALSE(byClass.contains("Surface"));
    EXPECT_FALSE(byClass.contains("UIApplication"));
}

// Text that an element owns or a view carries is exposed, or judged by the
// rules about names and focusable text: the screen passes once, on its root.
TEST(RuleUnexposedText, TextThatElementsOwnOrViewsCarryPasses) {
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"logo", "button", "caption", "cell", "keyboard"})
        .frame(0, 0, 390, 844);
    screen.add("logo", T::image, "Logo").label("ACME").frame(16, 100, 200, 60);
    screen.add("button", T::button, "Button")
        .label("Continue")
        .traits(AudTraits::button)
        .focusable()
        .frame(16, 200, 358, 50);
    // Not an element: its text is the focusable-text rule's to judge.
    screen.add("caption", T::staticText, "Caption").label("Terms apply").focusable(false).frame(16, 300, 100, 20);
    // Its child's frame is wrong, but the text is in the tree below it.
    screen.add("cell", T::cell, "Cell", {"cellText"}).frame(0, 360, 390, 60);
    screen.add("cellText", T::staticText, "CellText").label("Delivery in 2 days").frame(0, 0, 1, 1);
    screen.add("keyboard", T::keyboard, "Keyboard").frame(0, 500, 390, 300);
    const auto byClass = test::resultsByClass(screen, AudRuleId::unexposedText,
                                              {{"ACME Foods", 30, 110, 150, 40},
                                               {"Continue", 150, 213, 90, 24},
                                               {"Terms apply", 16, 300, 110, 22},
                                               {"Delivery in 2 days", 16, 378, 200, 22},
                                               {"space return", 100, 700, 200, 30}});
    ASSERT_EQ(byClass.size(), 1U);
    ASSERT_TRUE(byClass.contains("UIApplication"));
    EXPECT_EQ(byClass.at("UIApplication")->status, AudStatus::pass);

    // A screen without any text to judge gets no verdict.
    EXPECT_TRUE(test::resultsByClass(screen, AudRuleId::unexposedText, {{"Q", 350, 150, 20, 20}}).empty());
}

}  // namespace
}  // namespace audkit
