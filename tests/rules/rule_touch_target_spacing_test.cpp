#include <gtest/gtest.h>

#include <map>
#include <random>

#include "audkit/rules/rule_touch_target_spacing.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using R = RuleTouchTargetSpacing;

// The spacing results of a whole scan of the screen, by class name, as the
// runner gathers the targets and calls the rule.
std::map<std::string, std::shared_ptr<AudRuleResult>> spacingResults(const test::ScreenBuilder& screen) {
    return test::resultsByClass(screen, AudRuleId::touchTargetSpacing);
}

test::ScreenBuilder screenWithApp() {
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"a", "b", "c", "d", "e", "f", "g", "h"}).frame(0, 0, 390, 844);
    return screen;
}

TEST(RuleTouchTargetSpacing, SmallTargetsNeedTwelvePointsAroundTheirCentres) {
    test::LogCapture log;
    auto screen = screenWithApp();
    // Centres 30 points apart pass (30 - 12 >= 12); 20 points apart fail (8 < 12).
    screen.add("a", T::button, "FarA").label("a").frame(100, 100, 20, 20);
    screen.add("b", T::button, "FarB").label("b").frame(130, 100, 20, 20);
    screen.add("c", T::button, "NearA").label("c").frame(100, 300, 20, 20);
    screen.add("d", T::button, "NearB").label("d").frame(120, 300, 20, 20);
    // Centre 10 points from the edge of a large target fails; 15 points passes.
    screen.add("e", T::button, "BigTarget").label("e").frame(200, 500, 100, 50);
    screen.add("f", T::button, "CloseToBig").label("f").frame(180, 515, 20, 20);  // centre at x 190
    screen.add("g", T::button, "Roomy").label("g").frame(305, 515, 20, 20);       // centre at x 315
    screen.add("h", T::button, "Square24").label("h").frame(220, 600, 23.6, 24);
    const auto results = spacingResults(screen);
    EXPECT_EQ(results.at("FarA")->status, AudStatus::pass);
    EXPECT_EQ(results.at("FarB")->status, AudStatus::pass);
    EXPECT_EQ(results.at("NearA")->status, AudStatus::fail);
    const auto nearby = results.at("NearA")->props->get(R::allNearbyTargetsKey);
    ASSERT_TRUE(nearby);
    EXPECT_EQ(*nearby, (std::vector<AudTargetSpacing>{{"NearB", AudBounds(360, 420, 900, 960)}}));
    EXPECT_EQ(results.at("CloseToBig")->status, AudStatus::fail);
    EXPECT_EQ(results.at("BigTarget")->status, AudStatus::pass);
    EXPECT_EQ(results.at("Roomy")->status, AudStatus::pass);
    EXPECT_EQ(results.at("Square24")->status, AudStatus::pass);  // 23.6 rounds to 24

    auto keys = test::keysOf(*results.at("NearA")->props);
    keys.erase("className");
    auto declared = test::declared(R::keys);
    declared.erase(std::string(R::overlappingBoundsKey.name));
    EXPECT_EQ(keys, declared);
}

TEST(RuleTouchTargetSpacing, OverlapsHeadersAndHiddenViews) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"nav", "a", "b", "card", "dim", "hidden"})
        .frame(0, 0, 390, 844);
    // A button in the navigation bar (a header) is not compared with the content below it.
    screen.add("nav", T::navigationBar, "UINavigationBar", {"back"}).frame(0, 0, 390, 60);
    screen.add("back", T::button, "BackButton").label("Back").frame(10, 40, 20, 20);
    screen.add("a", T::button, "BelowBar").label("x").frame(10, 62, 20, 20);
    // Two buttons that partly overlap are not judged.
    screen.add("b", T::button, "Overlapping").label("y").frame(200, 200, 20, 20);
    screen.add("card", T::button, "Card").label("z").frame(210, 210, 100, 100);
    screen.add("dim", T::button, "UIDimmingView").label("dim").frame(0, 400, 390, 400);
    screen.add("hidden", T::button, "Hidden").label("h").frame(0, 100, 20, 20).hidden();
    const auto results = spacingResults(screen);
    EXPECT_EQ(results.at("BackButton")->status, AudStatus::pass);
    EXPECT_EQ(results.at("BelowBar")->status, AudStatus::pass);
    EXPECT_FALSE(results.contains("Overlapping"));
    EXPECT_FALSE(results.contains("Hidden"));
}

TEST(RuleTouchTargetSpacing, HugeCoordinatesNeitherOverflowNorCrowd) {
    test::LogCapture log;
    auto screen = screenWithApp();
    screen.add("a", T::button, "Small").label("a").frame(100, 100, 20, 20);
    screen.add("b", T::button, "FarAway").label("b").frame(3e37, 3e37, 20, 20);
    screen.add("c", T::button, "Negative").label("c").frame(-3e37, 100, 20, 20);
    // Beyond what a 32-bit float holds: clamped when read, never converted out of range.
    screen.add("d", T::button, "BeyondFloats").label("d").frame(1e300, -1e300, 1e300, 20);
    const auto results = spacingResults(screen);
    EXPECT_EQ(results.at("Small")->status, AudStatus::pass);
    EXPECT_EQ(results.at("FarAway")->status, AudStatus::pass);
    EXPECT_EQ(results.at("BeyondFloats")->props->get(R::boundsInScreenKey), AudBounds(3e9F, 6e9F, -3e9F, -3e9F + 60));
}

TEST(RuleTouchTargetSpacing, TheIndexFindsWhatComparingEveryPairFinds) {
    test::LogCapture log;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(0, 380), y(0, 830), side(6, 40);
    test::ScreenBuilder screen;
    std::vector<std::string> ids;
    for (int i = 0; i < 300; ++i) ids.push_back("t" + std::to_string(i));
    screen.add("app", T::application, "UIApplication", ids).frame(0, 0, 390, 844);
    for (const auto& id : ids)
        screen.add(id, T::button, id).label(id).frame(x(random), y(random), side(random), side(random));
    const auto results = spacingResults(screen);

    const auto root = screen.build();
    RuleTouchTargetSpacing rule(catalogueConf(AudRuleId::touchTargetSpacing));
    rule.setUp(*test::contextFor(root));
    std::size_t compared = 0;
    for (const auto& a : root->children) {
        const auto found = results.find(a->className);
        if (found == results.end()) continue;  // overlapping: not judged
        std::vector<AudTargetSpacing> expected;
        for (const auto& b : root->children)
            if (b != a && rule.spacingDistance(a->boundsInScreen, b->boundsInScreen) + R::errorMargin < 12)
                expected.push_back({b->className, b->boundsInScreen});
        EXPECT_EQ(found->second->props->get(R::allNearbyTargetsKey).value_or(std::vector<AudTargetSpacing>{}), expected)
            << a->className;
        ++compared;
    }
    EXPECT_GT(compared, 50U);
}

}  // namespace
}  // namespace audkit
