#include <gtest/gtest.h>

#include "audkit/rules/rule_supports_dynamic_type.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using R = RuleSupportsDynamicType;

// Four labels; `heights` gives each one's height in points.
std::shared_ptr<AudView> labels(std::array<double, 4> heights, const std::string& lastName = "Footnote") {
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"a", "b", "c", "d"}).frame(0, 0, 390, 844);
    screen.add("a", T::staticText, "Grows").label("Title").frame(16, 100, 200, heights[0]);
    screen.add("b", T::staticText, "Barely").label("Subtitle").frame(16, 140, 200, heights[1]);
    screen.add("c", T::staticText, "Shrinks").label("Price").frame(16, 180, 200, heights[2]);
    screen.add("d", T::staticText, "Renamed").label(lastName).frame(16, 220, 200, heights[3]);
    return screen.build();
}

std::map<std::string, std::shared_ptr<AudRuleResult>> scan(std::optional<LargerTextCapture> larger) {
    auto conf = std::make_shared<AudConf>();
    conf->setOptInToSupportsDynamicType(true);
    for (const auto id : allCases<AudRuleId>())
        if (id != AudRuleId::supportsDynamicType) conf->ignore(std::string(toString(id)), true);
    auto context = test::contextFor(labels({20, 20, 20, 20}));
    context->largerText = std::move(larger);
    std::map<std::string, std::shared_ptr<AudRuleResult>> byClass;
    const auto scanned = Aud(conf, nullptr).run(context);
    for (const auto& result : scanned->audRuleResults)
        byClass[result->props->get(rulekey::className).value_or("")] = result;
    return byClass;
}

TEST(RuleSupportsDynamicType, EachTextMustGrowByMoreThanATenth) {
    LargerTextCapture larger;
    larger.afterChange = labels({24, 21, 15, 30}, "Small print");
    const auto byClass = scan(larger);
    ASSERT_EQ(byClass.size(), 4U);
    EXPECT_EQ(byClass.at("Grows")->status, AudStatus::pass);  // 20 per cent
    EXPECT_EQ(byClass.at("Grows")->ruleSummary, R::info.passingDescription);
    EXPECT_FLOAT_EQ(*byClass.at("Grows")->props->get(R::heightGrowthKey), 20);
    EXPECT_EQ(byClass.at("Grows")->props->get(R::textKey), "Title");
    EXPECT_EQ(byClass.at("Barely")->status, AudStatus::fail);   // 5 per cent
    EXPECT_EQ(byClass.at("Shrinks")->status, AudStatus::fail);  // smaller is not larger
    EXPECT_EQ(byClass.at("Renamed")->status, AudStatus::fail);  // not found after the change
    EXPECT_FLOAT_EQ(*byClass.at("Renamed")->props->get(R::heightGrowthKey), 0);
    EXPECT_EQ(byClass.at("Renamed")->impact, AudImpact::critical);
}

TEST(RuleSupportsDynamicType, NoComparisonIsOneResultForReviewAndNoOptInIsNoResult) {
    LargerTextCapture failed;
    failed.error = SettingsError("StaticText \"Larger Text\"").what();
    const auto byClass = scan(failed);
    ASSERT_EQ(byClass.size(), 1U);
    const auto& result = byClass.at("UIApplication");
    EXPECT_EQ(result->status, AudStatus::incomplete);
    EXPECT_TRUE(
        result->ruleSummary.starts_with("Unable to navigate to StaticText \"Larger Text\" within Settings App."));
    // A scan that did not capture with larger text records nothing for the rule.
    EXPECT_TRUE(scan(std::nullopt).empty());
    // The rule is off unless the configuration opts in.
    EXPECT_TRUE(AudConf().rules.at("SupportsDynamicType")->ignored);
}

}  // namespace
}  // namespace audkit
