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
    screen.add("app", T::application, "UIApplication", {"a", "b", "c", "d", "e", "f", "g", "h"});
    screen.add("a", T::button, "PlayButton").label("Play button").traits(AudTraits::button);
    screen.add("b", T::button, "Play").label("Play").traits(AudTraits::button);
    screen.add("c", T::image, "Cat").label("IMAGE of a cat").traits(AudTraits::image);
    screen.add("d", T::image, "Accented").label("Imáge of a dog");
    screen.add("e", T::button, "Hidden").label("Play button").focusable(false).traits(AudTraits::button);
    // Only the image row ignores accents and width; other trait words must be written as they are.
    screen.add("f", T::image, "Wide").label("ＩＭＡＧＥ of a bird");
    screen.add("g", T::button, "Umlaut").label("Bütton").traits(AudTraits::button);
    screen.add("h", T::link, "Help").label("Lïnk to help").traits(AudTraits::link);
    const auto root = screen.build();
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "PlayButton").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Play").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Cat").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Accented").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Hidden").status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Wide").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Umlaut").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Help").status, AudStatus::pass);

    RuleMeaningfulAccessibleName rule(catalogueConf(AudRuleId::meaningfulAccessibleName));
    EXPECT_EQ(test::keysOf(*rule.collectProps(test::findView(*root, "Play"))),
              test::declared(RuleMeaningfulAccessibleName::keys));
}

}  // namespace
}  // namespace audkit
