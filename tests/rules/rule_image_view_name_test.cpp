#include <gtest/gtest.h>

#include "audkit/rules/rule_image_view_name.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using test::judge;
using test::Verdict;

TEST(RuleImageViewName, DependsOnTheHierarchy) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"uikit", "hosting", "button", "named"});
    screen.add("uikit", T::image, "UIKitImage").focusable();
    screen.add("hosting", T::other, "_UIHostingView", {"swiftui"});
    screen.add("swiftui", T::image, "SwiftUIImage").focusable();
    screen.add("button", T::button, "ImageButton", {"inner"}).label("Play");
    screen.add("inner", T::image, "InnerImage").focusable();
    screen.add("named", T::image, "NamedImage").label("Company logo").identifier("logo");
    const auto root = screen.build();
    EXPECT_EQ(judge(AudRuleId::imageViewName, *root, "UIKitImage"),
              (Verdict{AudStatus::incomplete, RuleImageViewName::unableToDetermineFocusableMessage}));
    EXPECT_EQ(judge(AudRuleId::imageViewName, *root, "SwiftUIImage"),
              (Verdict{AudStatus::fail, RuleImageViewName::noNameMessage}));
    EXPECT_EQ(judge(AudRuleId::imageViewName, *root, "InnerImage").status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::imageViewName, *root, "NamedImage").status, AudStatus::pass);

    RuleImageViewName rule(catalogueConf(AudRuleId::imageViewName));
    const auto props = rule.collectProps(test::findView(*root, "NamedImage"));
    EXPECT_EQ(test::keysOf(*props), test::declared(RuleImageViewName::keys));
    EXPECT_EQ(props->get(rulekey::accessibilityIdentifier), "logo");
}

}  // namespace
}  // namespace audkit
