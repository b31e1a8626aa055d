#include <gtest/gtest.h>

#include "audkit/rules/rule_meaningful_accessible_name.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using test::judge;

TEST(RuleMeaningfulAccessibleName, NamesMustNotRepeatTraitWords) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"a", "b", "c", "d", "e"});
    screen.add("a", T::button, "PlayButton").label("Play button").traits(AudTraits::button);
    screen.add("b", T::button, "Play").label("Play").traits(AudTraits::button);
    screen.add("c", T::image, "Cat").label("IMAGE of a cat").traits(AudTraits::image);
    screen.add("d", T::image, "Accented").label("Imáge of a dog");
    screen.add("e", T::button, "Hidden").label("Play button").focusable(false).traits(AudTraits::button);
    const auto root = screen.build();
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "PlayButton").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Play").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Cat").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Accented").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Hidden").status, AudStatus::inapplicable);

    RuleMeaningfulAccessibleName rule(catalogueConf(AudRuleId::meaningfulAccessibleName));
    EXPECT_EQ(test::keysOf(*rule.collectProps(test::findView(*root, "Play"))),
              test::declared(RuleMeaningfulAccessibleName::keys));
}

}  // namespace
}  // namespace audkit
