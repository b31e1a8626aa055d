#include <gtest/gtest.h>

#include "audkit/rules/rule_conflicting_traits.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using test::judge;

TEST(RuleConflictingTraits, FirstConflictingGroupIsRecorded) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"a", "b", "c", "d", "e"});
    screen.add("a", T::button, "ButtonLink").label("x").traits(AudTraits({AudTraits::button, AudTraits::link}));
    screen.add("b", T::staticText, "HeaderText")
        .label("x")
        .traits(AudTraits({AudTraits::header, AudTraits::staticText}));
    screen.add("c", T::button, "SelectedDisabled").label("x").traits(AudTraits(0x108));
    screen.add("d", T::button, "NotFocusable").label("x").focusable(false).traits(AudTraits(0x3));
    screen.add("e", T::button, "NoTraits").label("x");
    const auto root = screen.build();
    EXPECT_EQ(judge(AudRuleId::conflictingTraits, *root, "ButtonLink").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::conflictingTraits, *root, "HeaderText").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::conflictingTraits, *root, "SelectedDisabled").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::conflictingTraits, *root, "NotFocusable").status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::conflictingTraits, *root, "NoTraits").status, AudStatus::inapplicable);

    RuleConflictingTraits rule(catalogueConf(AudRuleId::conflictingTraits));
    const auto props = rule.collectProps(test::findView(*root, "ButtonLink"));
    EXPECT_EQ(props->get(RuleConflictingTraits::conflictingTraitsKey), AudTraits(0x3));
    EXPECT_EQ(test::keysOf(*props), test::declared(RuleConflictingTraits::keys));
}

}  // namespace
}  // namespace audkit
