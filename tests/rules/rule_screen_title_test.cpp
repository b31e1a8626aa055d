#include <gtest/gtest.h>

#include "audkit/rules/rule_screen_title.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using test::judge;
using test::Verdict;

TEST(RuleScreenTitle, OnlyTheRootIsJudged) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"text"}).frame(0, 0, 390, 844);
    screen.add("text", T::staticText, "Body").label("Hello").frame(10, 100, 100, 20);
    const auto root = screen.build();
    const auto titled = test::contextFor(root, 3, true, "Inbox");
    EXPECT_EQ(judge(AudRuleId::screenTitle, *root, "UIApplication", titled.get()),
              (Verdict{AudStatus::pass, std::string(RuleScreenTitle::info.passingDescription)}));
    EXPECT_EQ(judge(AudRuleId::screenTitle, *root, "Body", titled.get()).status, AudStatus::inapplicable);

    // The placeholder of an untitled scan is no title.
    const auto untitled = test::contextFor(root);
    EXPECT_EQ(judge(AudRuleId::screenTitle, *root, "UIApplication", untitled.get()).status, AudStatus::fail);
    const auto partial = test::contextFor(root, 3, false);
    EXPECT_EQ(judge(AudRuleId::screenTitle, *root, "UIApplication", partial.get()),
              (Verdict{AudStatus::incomplete, RuleScreenTitle::partialScreenMessage}));
    const auto blank = test::contextFor(root, 3, true, "  ");
    EXPECT_EQ(judge(AudRuleId::screenTitle, *root, "UIApplication", blank.get()).status, AudStatus::fail);
}

TEST(RuleScreenTitle, ReactNativeHeadersAndDrawers) {
    test::LogCapture log;
    test::ScreenBuilder native;
    native.add("app", T::application, "UIApplication", {"header", "screens"}).frame(0, 0, 390, 844);
    native.add("header", T::staticText, "RCTText").label("Orders").traits(AudTraits::header).frame(0, 50, 390, 44);
    native.add("screens", T::other, RuleScreenTitle::reactNativeScreenClass).frame(0, 94, 390, 750);
    const auto nativeRoot = native.build();
    const auto context = test::contextFor(nativeRoot);
    EXPECT_EQ(judge(AudRuleId::screenTitle, *nativeRoot, "UIApplication", context.get()).status, AudStatus::pass);

    test::ScreenBuilder drawer;
    drawer.add("app", T::application, "UIApplication", {"panel"}).frame(0, 0, 390, 844);
    drawer.add("panel", T::other, "DrawerPanel", {"item"}).frame(0, 0, 312, 844);
    drawer.add("item", T::button, "DrawerItem").label("Settings").frame(10, 100, 200, 44);
    const auto drawerRoot = drawer.build();
    const auto drawerContext = test::contextFor(drawerRoot);
    EXPECT_EQ(judge(AudRuleId::screenTitle, *drawerRoot, "UIApplication", drawerContext.get()).status,
              AudStatus::inapplicable);

    RuleScreenTitle rule(catalogueConf(AudRuleId::screenTitle));
    rule.setUp(*context);
    const auto props = rule.collectProps(*nativeRoot);
    EXPECT_EQ(props->get(RuleScreenTitle::screenTitleKey), "Orders");
    for (const auto& key : test::keysOf(*props)) EXPECT_TRUE(test::declared(RuleScreenTitle::keys).contains(key));
}

}  // namespace
}  // namespace audkit
