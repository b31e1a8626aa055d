#include <gtest/gtest.h>

#include "audkit/rules/rule_touch_target_size.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using test::judge;
using test::Verdict;

// Not every small thing drawn as a control is a target: a disabled chevron
// that is no accessibility element, and a link inside a line of text.
TEST(RuleTouchTargetSize, DecorationsAndInlineLinksAreNoTargets) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"chevron", "sentence", "alone"}).frame(0, 0, 390, 844);
    screen.add("chevron", T::button, "Chevron")
        .traits(AudTraits::button.unionWith(AudTraits::notEnabled))
        .set(AccessibilityAttribute::isUserInteractionEnabled, 0)
        .frame(360, 100, 11, 14);
    screen.add("sentence", T::other, "Sentence", {"before", "inline", "after"}).frame(10, 200, 370, 20);
    screen.add("before", T::staticText, "Before").label("Read our").frame(10, 200, 70, 20);
    screen.add("inline", T::link, "InlineLink").label("terms").traits(AudTraits::link).frame(82, 200, 40, 20);
    screen.add("after", T::staticText, "After").label("before you buy.").frame(124, 200, 110, 20);
    screen.add("alone", T::link, "LoneLink").label("Home").traits(AudTraits::link).frame(10, 300, 40, 20);
    const auto root = screen.build();
    const auto context = test::contextFor(root);
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "Chevron", context.get()).status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "InlineLink", context.get()).status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "LoneLink", context.get()).status, AudStatus::fail);
}

TEST(RuleTouchTargetSize, SizesAreRoundedToWholePointsBeforeTheComparison) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"a", "b", "c", "d", "e"}).frame(0, 0, 390, 844);
    screen.add("a", T::button, "JustEnough").label("a").frame(10, 10, 43.6, 44);
    screen.add("b", T::button, "JustShort").label("b").frame(10, 100, 43.4, 44);
    screen.add("c", T::switch_, "Switch").label("c").frame(10, 200, 51, 31);
    screen.add("d", T::button, "Outer", {"inner"}).label("d").frame(10, 300, 100, 50);
    screen.add("inner", T::button, "InnerButton").label("x").frame(20, 310, 10, 10);
    screen.add("e", T::staticText, "Caption").label("e").frame(10, 400, 20, 10);
    const auto root = screen.build();
    const auto context = test::contextFor(root);
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "JustEnough", context.get()),
              (Verdict{AudStatus::pass, std::string(RuleTouchTargetSize::info.passingDescription)}));
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "JustShort", context.get()),
              (Verdict{AudStatus::fail, std::string(RuleTouchTargetSize::info.summary)}));
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "Switch", context.get()).status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "Outer", context.get()).status, AudStatus::pass);
    // only the outermost active control is a target
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "InnerButton", context.get()).status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "Caption", context.get()).status, AudStatus::inapplicable);

    RuleTouchTargetSize rule(catalogueConf(AudRuleId::touchTargetSize));
    rule.setUp(*context);
    const auto props = rule.collectProps(test::findView(*root, "JustShort"));
    EXPECT_EQ(props->get(RuleTouchTargetSize::controlWidthKey), 43.0F);
    EXPECT_EQ(props->get(RuleTouchTargetSize::controlHeightKey), 44.0F);
    EXPECT_EQ(test::keysOf(*props), test::declared(RuleTouchTargetSize::keys));
}

TEST(RuleTouchTargetSize, TextFieldsKeysLinksAndOffScreenControls) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"hosting", "field", "text", "keyboard", "pages", "low"})
        .frame(0, 0, 390, 844);
    screen.add("hosting", T::other, "_UIHostingView", {"swiftField"}).frame(0, 0, 390, 100);
    screen.add("swiftField", T::textField, "SwiftUIField").label("Name").frame(10, 10, 200, 30);
    screen.add("field", T::textField, "UIKitField").label("Email").frame(10, 200, 200, 30);
    screen.add("text", T::textView, "UITextView", {"link"}).frame(10, 300, 300, 100);
    screen.add("link", T::link, "InlineLink").label("terms").traits(AudTraits::link).frame(20, 310, 30, 12);
    screen.add("keyboard", T::keyboard, "UIKeyboard", {"key"}).frame(0, 600, 390, 244);
    screen.add("key", T::key, "Key").label("q").traits(AudTraits::keyboardKey).frame(0, 600, 30, 40);
    screen.add("pages", T::pageIndicator, "UIPageControl").label("page 1 of 3").frame(100, 500, 60, 20);
    // Half below the screen's bottom edge.
    screen.add("low", T::button, "LowButton").label("More").frame(10, 834, 30, 20).visibleFrame(10, 834, 30, 10);
    const auto root = screen.build();
    const auto context = test::contextFor(root);
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "SwiftUIField", context.get()).status, AudStatus::incomplete);
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "UIKitField", context.get()).status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "InlineLink", context.get()).status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "Key", context.get()).status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "UIPageControl", context.get()).status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::touchTargetSize, *root, "LowButton", context.get()),
              (Verdict{AudStatus::incomplete, RuleHelperError::offScreen().what()}));
}

}  // namespace
}  // namespace audkit
