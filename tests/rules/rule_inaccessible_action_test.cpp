#include <gtest/gtest.h>

#include "audkit/rules/rule_inaccessible_action.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using R = RuleInaccessibleAction;
using test::judge;
using test::Verdict;

TEST(RuleInaccessibleAction, ControlsMustBeReachable) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen
        .add("app", T::application, "UIApplication",
             {"button", "plainSlider", "adjustableSlider", "loose", "cell", "groupCell", "adjustableCell", "actionCell",
              "disabled", "webLink"})
        .frame(0, 0, 390, 844);
    screen.add("button", T::button, "Button").label("Buy");
    screen.add("plainSlider", T::slider, "PlainSlider").label("Volume").traits(AudTraits(0));
    screen.add("adjustableSlider", T::slider, "AdjustableSlider").label("Volume").traits(AudTraits::adjustable);
    screen.add("loose", T::switch_, "LooseSwitch");
    screen.add("cell", T::cell, "SwitchCell", {"cellSwitch"}).label("Wi-Fi");
    screen.add("cellSwitch", T::switch_, "CellSwitch");
    screen.add("groupCell", T::cell, "GroupCell", {"s1", "s2", "s3"}).label("Alarms");
    for (const auto* id : {"s1", "s2", "s3"}) screen.add(id, T::switch_, std::string("Group") + id);
    screen.add("adjustableCell", T::cell, "AdjustableCell", {"t1", "t2", "t3"})
        .label("Rating")
        .traits(AudTraits::adjustable);
    for (const auto* id : {"t1", "t2", "t3"}) screen.add(id, T::button, std::string("Star") + id);
    screen.add("actionCell", T::cell, "ActionCell", {"actionSwitch"}).label("Mail");
    screen.add("actionSwitch", T::switch_, "ActionSwitch");
    screen.add("disabled", T::button, "DisabledButton").label("Pay").traits(AudTraits::notEnabled);
    // A web link that VoiceOver reaches through its focusable text.
    screen.add("webLink", T::link, "WebLink", {"linkText"}).focusable(false);
    screen.add("linkText", T::staticText, "LinkText").label("Deals");
    screen.bundle().document()["elements"]["actionCell"]["attributes"]["XC_kAXXCAttributeCustomActions"] = {"Delete"};
    const auto root = screen.build();
    const auto fails = [](const char* message) { return Verdict{AudStatus::fail, message}; };
    EXPECT_EQ(judge(AudRuleId::inaccessibleAction, *root, "Button").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::inaccessibleAction, *root, "PlainSlider"), fails(R::sliderNotAdjustableMessage));
    EXPECT_EQ(judge(AudRuleId::inaccessibleAction, *root, "AdjustableSlider").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::inaccessibleAction, *root, "LooseSwitch"), fails(R::notFocusableMessage));
    EXPECT_EQ(judge(AudRuleId::inaccessibleAction, *root, "CellSwitch"), fails(R::noActionDetectedMessage));
    EXPECT_EQ(judge(AudRuleId::inaccessibleAction, *root, "Groups1"),
              (Verdict{AudStatus::incomplete, R::multipleChildrenMessage}));
    // An adjustable cell is a control itself: it is judged, the buttons inside it are not.
    EXPECT_EQ(judge(AudRuleId::inaccessibleAction, *root, "AdjustableCell").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::inaccessibleAction, *root, "Start1").status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::inaccessibleAction, *root, "ActionSwitch").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::inaccessibleAction, *root, "DisabledButton").status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::inaccessibleAction, *root, "WebLink").status, AudStatus::pass);

    R rule(catalogueConf(AudRuleId::inaccessibleAction));
    for (const auto* className : {"Button", "PlainSlider", "LooseSwitch", "CellSwitch", "WebLink"})
        for (const auto& key : test::keysOf(*rule.collectProps(test::findView(*root, className))))
            EXPECT_TRUE(test::declared(R::keys).contains(key)) << key;
}

}  // namespace
}  // namespace audkit
