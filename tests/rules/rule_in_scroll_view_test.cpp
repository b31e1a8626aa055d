#include <gtest/gtest.h>

#include "audkit/rules/rule_in_scroll_view.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using test::judge;
using test::Verdict;

TEST(RuleInScrollView, TextMustScrollInAFullScreenScan) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"loose", "table", "field", "footer", "strip", "button"})
        .frame(0, 0, 390, 844);
    // A band across the screen under the navigation bar (a week strip and its
    // date line) stays in place, and a button's title grows with its button.
    screen.add("strip", T::other, "Strip", {"date"}).frame(0, 88, 390, 88);
    screen.add("date", T::staticText, "StripDate").label("Monday 14 May").frame(0, 148, 390, 20);
    screen.add("button", T::button, "UIButton", {"title"}).label("Log in").frame(40, 500, 300, 44);
    screen.add("title", T::staticText, "ButtonTitle").label("Log in").frame(160, 511, 60, 22);
    screen.add("loose", T::staticText, "LooseText").label("Terms apply").frame(10, 300, 200, 20);
    screen.add("table", T::table, "UITableView", {"cell"}).frame(0, 350, 390, 300);
    screen.add("cell", T::cell, "UITableViewCell", {"inCell"}).frame(0, 350, 390, 44);
    screen.add("inCell", T::staticText, "CellText").label("Wi-Fi").frame(16, 360, 100, 20);
    screen.add("field", T::textField, "UITextField", {"placeholder"}).frame(10, 200, 300, 40);
    screen.add("placeholder", T::staticText, "Placeholder").label("Email").frame(20, 210, 100, 20);
    // A bar along the screen's bottom edge: its text is a footer.
    screen.add("footer", T::toolbar, "UIToolbar", {"footerText"}).frame(0, 790, 390, 54);
    screen.add("footerText", T::staticText, "FooterText").label("Updated now").frame(150, 800, 90, 20);
    const auto root = screen.build();
    const auto full = test::contextFor(root);
    EXPECT_EQ(judge(AudRuleId::inScrollView, *root, "LooseText", full.get()),
              (Verdict{AudStatus::fail, RuleInScrollView::notInScrollableViewMessage}));
    EXPECT_EQ(judge(AudRuleId::inScrollView, *root, "CellText", full.get()).status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::inScrollView, *root, "Placeholder", full.get()).status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::inScrollView, *root, "FooterText", full.get()).status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::inScrollView, *root, "StripDate", full.get()).status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::inScrollView, *root, "ButtonTitle", full.get()).status, AudStatus::inapplicable);
    const auto partial = test::contextFor(root, 3, false);
    EXPECT_EQ(judge(AudRuleId::inScrollView, *root, "LooseText", partial.get()),
              (Verdict{AudStatus::incomplete, RuleInScrollView::partialScreenMessage}));

    RuleInScrollView rule(catalogueConf(AudRuleId::inScrollView));
    EXPECT_EQ(test::keysOf(*rule.collectProps(test::findView(*root, "CellText"))),
              test::declared(RuleInScrollView::keys));
}

}  // namespace
}  // namespace audkit
