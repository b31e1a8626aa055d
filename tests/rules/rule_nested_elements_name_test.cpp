#include <gtest/gtest.h>

#include "audkit/rules/rule_nested_elements_name.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using R = RuleNestedElementsName;
using test::judge;

TEST(RuleNestedElementsName, AFocusableContainerAnnouncesItsText) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"unnamed", "named", "switchCell"}).frame(0, 0, 390, 844);
    screen.add("unnamed", T::other, "Unnamed", {"a1", "a2"}).focusable().frame(0, 100, 390, 44);
    screen.add("a1", T::staticText, "PriceA").label("Price").focusable(false);
    screen.add("a2", T::staticText, "AmountA").label("10 EUR").focusable(false);
    screen.add("named", T::other, "Named", {"b1", "b2"}).label("Price 10 EUR").frame(0, 200, 390, 44);
    screen.add("b1", T::staticText, "PriceB").label("Price").focusable(false);
    screen.add("b2", T::staticText, "AmountB").label("10 EUR").focusable(false);
    screen.add("switchCell", T::other, "WithSwitch", {"c1", "c2"}).label("Wi-Fi").frame(0, 300, 390, 44);
    screen.add("c1", T::staticText, "WifiText").label("Wi-Fi").focusable(false);
    screen.add("c2", T::switch_, "WifiSwitch");
    const auto root = screen.build();
    EXPECT_EQ(judge(AudRuleId::nestedElementsName, *root, "Unnamed").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::nestedElementsName, *root, "Named").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::nestedElementsName, *root, "WithSwitch").status, AudStatus::inapplicable);

    R rule(catalogueConf(AudRuleId::nestedElementsName));
    EXPECT_EQ(test::keysOf(*rule.collectProps(test::findView(*root, "Named"))), test::declared(R::keys));
}

TEST(RuleNestedElementsName, TwoThirdsOfShortTextsFourFifthsOfLongOnes) {
    R rule(catalogueConf(AudRuleId::nestedElementsName));
    const auto verdict = [&](const std::string& name, const std::string& shown) {
        AudProps props;
        props.add(R::textsKey, std::vector<std::string>{shown});
        props.add(rulekey::name, name);
        return decideOutcome(rule, props).status;
    };
    EXPECT_EQ(verdict("alpha bravo charlie delta", "alpha bravo charlie delta zulu"), AudStatus::pass);  // 4 of 5
    EXPECT_EQ(verdict("alpha bravo charlie", "alpha bravo charlie yankee zulu"), AudStatus::fail);       // 3 of 5
    EXPECT_EQ(verdict("alpha bravo charlie delta echo", "alpha bravo charlie delta echo zulu"), AudStatus::pass);
    EXPECT_EQ(verdict("alpha bravo charlie delta", "alpha bravo charlie delta yankee zulu"), AudStatus::fail);
}

}  // namespace
}  // namespace audkit
