#include <gtest/gtest.h>

#include "audkit/rules/rule_a11y_element_focus_box.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using test::judge;
using test::Verdict;

TEST(RuleA11yElementFocusBox, TheFocusBoxMustCoverTheVisibleFrame) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"ok", "small", "away", "cell", "wide"}).frame(0, 0, 390, 844);
    screen.add("ok", T::button, "Covered").label("ok").frame(10, 10, 100, 44);
    // The focus box is a third of the button it stands for.
    screen.add("small", T::button, "SmallBox").label("small").frame(10, 100, 150, 44).visibleFrame(10, 100, 50, 44);
    screen.add("away", T::button, "Elsewhere").label("away").frame(10, 200, 100, 44).visibleFrame(200, 400, 100, 44);
    // A focusable cell whose box is its own frame, around the label and switch it shows.
    screen.add("cell", T::cell, "Cell", {"text", "toggle"}).label("Wi-Fi").frame(0, 300, 390, 60);
    screen.add("text", T::staticText, "CellText").frame(16, 320, 100, 20);
    screen.add("toggle", T::switch_, "CellSwitch").frame(320, 315, 51, 31);
    // A focusable row whose picture sticks out far beyond the row's own box.
    screen.add("wide", T::other, "Overflowing", {"picture"}).label("Offer").frame(0, 450, 200, 44);
    screen.add("picture", T::image, "Picture").frame(150, 450, 200, 44);
    const auto root = screen.build();
    const auto context = test::contextFor(root);
    EXPECT_EQ(judge(AudRuleId::a11yElementFocusBox, *root, "Covered", context.get()),
              (Verdict{AudStatus::pass, std::string(RuleA11yElementFocusBox::info.passingDescription)}));
    // The part of the frame outside the visible frame counts as off screen: the box may be cut by the screen edge.
    EXPECT_EQ(judge(AudRuleId::a11yElementFocusBox, *root, "SmallBox", context.get()).summary,
              RuleHelperError::offScreen().what());
    EXPECT_EQ(judge(AudRuleId::a11yElementFocusBox, *root, "Elsewhere", context.get()).status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::a11yElementFocusBox, *root, "Overflowing", context.get()).status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::a11yElementFocusBox, *root, "Cell", context.get()).status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::a11yElementFocusBox, *root, "CellText", context.get()).status, AudStatus::inapplicable);

    RuleA11yElementFocusBox rule(catalogueConf(AudRuleId::a11yElementFocusBox));
    rule.setUp(*context);
    const auto props = rule.collectProps(test::findView(*root, "Cell"));
    // The cell shows its label and switch: the frame judged is their union.
    EXPECT_EQ(props->get(RuleA11yElementFocusBox::calculatedVisibleFrameKey), AudBounds(48, 1113, 945, 1038));
    auto keys = test::declared(RuleA11yElementFocusBox::keys);
    keys.erase(std::string(RuleA11yElementFocusBox::boundsInScreenKey.name));  // one of the two frames is recorded
    EXPECT_EQ(test::keysOf(*props), keys);
}

TEST(RuleA11yElementFocusBox, MissingAndEmptyPaths) {
    RuleA11yElementFocusBox rule(catalogueConf(AudRuleId::a11yElementFocusBox));
    AudProps noPath;
    noPath.add(RuleA11yElementFocusBox::accessibilityPathKey, std::nullopt);
    EXPECT_EQ(decideOutcome(rule, noPath).status, AudStatus::pass);
    AudProps zeroPath;
    zeroPath.add(RuleA11yElementFocusBox::accessibilityPathKey, AudBounds());
    zeroPath.add(RuleA11yElementFocusBox::boundsInScreenKey, AudBounds(0, 30, 0, 30));
    EXPECT_EQ(decideOutcome(rule, zeroPath).summary, A11yElementError::partiallyOffScreen().what());
    AudProps noFrame;
    noFrame.add(RuleA11yElementFocusBox::accessibilityPathKey, AudBounds(0, 30, 0, 30));
    EXPECT_EQ(decideOutcome(rule, noFrame).summary, A11yElementError::couldNotFindViewsFrame().what());
}

}  // namespace
}  // namespace audkit
