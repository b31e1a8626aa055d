#include <gtest/gtest.h>

#include "audkit/rules/rule_active_control_name.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using test::judge;
using test::Verdict;

TEST(RuleActiveControlName, ControlsNeedANameOrAnAssociatedLabel) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"bare", "row", "stepper", "alone", "picker", "pages", "dots"});
    // A page control says what it is through its value; without one it is as bare as any control.
    screen.add("pages", T::pageIndicator, "PageControl").focusable().value("page 1 of 3");
    screen.add("dots", T::pageIndicator, "BarePageControl").focusable();
    screen.add("bare", T::button, "BareButton").focusable();
    screen.add("row", T::other, "Row", {"label", "field"});
    screen.add("label", T::staticText, "RowLabel").label("Save").focusable(false);
    screen.add("field", T::textField, "UnnamedField").focusable();
    screen.add("stepper", T::stepper, "UIStepper", {"inc", "dec"});
    screen.add("inc", T::button, "IncrementButton").label("Increment");
    screen.add("dec", T::button, "LowerIncrement").label("increment");
    screen.add("alone", T::button, "LoneIncrement").label("Increment");
    screen.add("picker", T::datePicker, "UIDatePicker", {"day"});
    screen.add("day", T::button, "DayButton").focusable();
    const auto root = screen.build();
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "BareButton"),
              (Verdict{AudStatus::fail, RuleActiveControlName::noNameMessage}));
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "UnnamedField"),
              (Verdict{AudStatus::pass, std::string(RuleActiveControlName::info.passingDescription)}));  // "Save"
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "IncrementButton"),
              (Verdict{AudStatus::fail, RuleActiveControlName::defaultStepperButtonNameMessage}));
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "LowerIncrement").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "LoneIncrement").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "DayButton").status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "RowLabel").status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "PageControl").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "BarePageControl").status, AudStatus::fail);

    RuleActiveControlName rule(catalogueConf(AudRuleId::activeControlName));
    const auto props = rule.collectProps(test::findView(*root, "UnnamedField"));
    EXPECT_EQ(test::keysOf(*props), test::declared(RuleActiveControlName::keys));
    EXPECT_EQ(props->get(rulekey::associatedText), "Save");
}

TEST(RuleActiveControlName, FocusableCellSpeaksForItsInnerControl) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"table"});
    screen.add("table", T::table, "UITableView", {"named", "empty"});
    screen.add("named", T::cell, "SwitchCell", {"switch"}).focusable();
    screen.add("switch", T::switch_, "InnerSwitch");
    screen.add("empty", T::cell, "EmptyCell").label("Plain");
    const auto root = screen.build();
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "SwitchCell").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "EmptyCell").status, AudStatus::inapplicable);
}

}  // namespace
}  // namespace audkit
