#include <gtest/gtest.h>

#include "audkit/rules/rule_label_in_name.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using R = RuleLabelInName;
using test::judge;
using test::Verdict;

Verdict inName(const std::string& name, const std::string& shown) {
    return judge(AudRuleId::labelInName, *test::buttonShowing(name, shown).build(), "Button");
}

TEST(RuleLabelInName, VisibleTextMustBeInTheName) {
    test::LogCapture log;
    const Verdict pass{AudStatus::pass, std::string(R::info.passingDescription)};
    EXPECT_EQ(inName("Sign in", "SIGN-IN!"), pass);  // both read "signin"
    EXPECT_EQ(inName("Sign in with Apple", "Continue with Apple"),
              (Verdict{AudStatus::fail, R::nameDoesntContainLabelMessage}));
    EXPECT_EQ(inName("Submit order", "Submit").status, AudStatus::pass);
    EXPECT_EQ(inName("Order submit", "Submit").status, AudStatus::pass);
    EXPECT_EQ(inName("Go", "X").status, AudStatus::inapplicable);  // one character is not judged
}

TEST(RuleLabelInName, ValuesDetectedTextAndSkippedViews) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"volumeText", "volume", "back", "picker"})
        .frame(0, 0, 390, 844);
    screen.add("volume", T::slider, "VolumeSlider").label("Volume").value("50%").frame(16, 100, 300, 44);
    screen.add("volumeText", T::staticText, "VolumeText").label("Volume 50%").focusable(false).frame(16, 60, 100, 20);
    screen.add("back", T::button, "UIAccessibilityBackButtonElement", {"backText"}).label("Back").frame(0, 50, 60, 44);
    screen.add("backText", T::staticText, "BackText").label("Inbox").focusable(false).frame(0, 50, 60, 44);
    screen.add("picker", T::datePicker, "UIDatePicker", {"day"}).frame(0, 300, 390, 200);
    screen.add("day", T::button, "DayButton", {"dayText"}).label("Monday").frame(0, 300, 100, 44);
    screen.add("dayText", T::staticText, "DayText").label("Tuesday").focusable(false).frame(0, 300, 100, 44);
    const auto root = screen.build();
    // The value (50) is cut out of the shown text (volume50) before it is looked for.
    EXPECT_EQ(judge(AudRuleId::labelInName, *root, "VolumeSlider").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::labelInName, *root, "UIAccessibilityBackButtonElement").status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::labelInName, *root, "DayButton").status, AudStatus::inapplicable);

    RuleLabelInName rule(catalogueConf(AudRuleId::labelInName));
    AudProps recognised;
    recognised.add(rulekey::name, std::string("Submit"));
    recognised.add(R::detectedTextKey, std::string("Submt"));  // a recognition error
    EXPECT_EQ(decideOutcome(rule, recognised).status, AudStatus::pass);
    AudProps shortOfWords = recognised;
    shortOfWords.add(rulekey::name, std::string("Apple"));
    shortOfWords.add(R::detectedTextKey, std::string("Continue with Apple"));
    EXPECT_EQ(decideOutcome(rule, shortOfWords).status, AudStatus::fail);
    AudProps offScreen = shortOfWords;
    offScreen.add(R::elementOffScreenKey, 0.3F);
    EXPECT_EQ(decideOutcome(rule, offScreen).summary, RuleHelperError::offScreen().what());

    const auto props = rule.collectProps(test::findView(*root, "VolumeSlider"));
    EXPECT_EQ(test::keysOf(*props), test::declared(R::keys));
}

}  // namespace
}  // namespace audkit
