#include <gtest/gtest.h>

#include "audkit/rules/rule_colliding_views.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using R = RuleCollidingViews;

TEST(RuleCollidingViews, TextNotLegibleInFullIsLeftForReview) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"nav", "scroll"}).frame(0, 0, 390, 844);
    screen.add("nav", T::navigationBar, "UINavigationBar", {"title"}).frame(0, 47, 390, 44);
    screen.add("title", T::staticText, "Title").label("Checkout").frame(150, 59, 90, 20);
    screen.add("scroll", T::scrollView, "UIScrollView", {"shown", "terms", "hidden", "button", "low"})
        .frame(0, 91, 390, 753);
    screen.add("shown", T::staticText, "Shown").label("Free returns").frame(16, 100, 200, 20);
    screen.add("terms", T::staticText, "Terms").label("Terms and conditions apply").frame(16, 140, 300, 20);
    screen.add("hidden", T::staticText, "Hidden").label("Updated 2 minutes ago").frame(16, 180, 300, 20);
    screen.add("button", T::button, "Button", {"buttonLabel"}).label("Chat").focusable().frame(16, 220, 100, 44);
    screen.add("buttonLabel", T::staticText, "ButtonLabel").label("Chat with us").frame(20, 230, 90, 20);
    screen.add("low", T::staticText, "Low")
        .label("Opening hours")
        .frame(16, 830, 200, 30)
        .visibleFrame(16, 830, 200, 14);
    const auto byClass = test::resultsByClass(screen, AudRuleId::collidingViews,
                                              {{"Checkout", 150, 59, 90, 20},
                                               {"Free returns", 16, 100, 120, 20},
                                               {"Terms and", 16, 140, 90, 20},
                                               {"Chat", 30, 230, 60, 20},
                                               {"Opening", 16, 831, 80, 12}});
    const auto status = [&](const std::string& className) {
        return byClass.contains(className) ? std::string(toString(byClass.at(className)->status)) : "NONE";
    };
    EXPECT_EQ(status("Shown"), "PASS");
    EXPECT_EQ(status("Terms"), "INCOMPLETE");
    EXPECT_EQ(status("Hidden"), "INCOMPLETE");
    EXPECT_EQ(byClass.at("Terms")->ruleSummary, R::CollidingViewsError::ocrFailed().what());
    EXPECT_EQ(byClass.at("Terms")->props->get(R::detectedTextKey), "Terms and");
    // Partly off the screen explains the missing words.
    EXPECT_EQ(status("Low"), "INCOMPLETE");
    EXPECT_EQ(byClass.at("Low")->ruleSummary, RuleHelperError::offScreen().what());
    // Headers and controls, and texts inside controls, draw their text their own way.
    EXPECT_EQ(status("Title"), "NONE");
    EXPECT_EQ(status("Button"), "NONE");
    EXPECT_EQ(status("ButtonLabel"), "NONE");
    EXPECT_EQ(test::keysOf(*byClass.at("Low")->props), [] {
        auto keys = test::declared(R::keys);
        keys.erase(std::string(R::overlappingViewsKey.name));
        keys.insert("className");
        return keys;
    }());
}

// The views handed over as overlapping are named when they are content, not
// controls; a view that does not say whether it is a control is left out.
TEST(RuleCollidingViews, OverlappingContentViewsAreNamed) {
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"terms", "badge", "tag", "chat"}).frame(0, 0, 390, 844);
    screen.add("terms", T::staticText, "Terms").label("Terms and conditions apply").frame(16, 140, 300, 20);
    screen.add("badge", T::staticText, "Badge").label("New").frame(200, 140, 40, 20);
    screen.add("tag", T::staticText, "Tag").label("Sale").frame(250, 140, 40, 20);
    screen.add("chat", T::button, "ChatButton").label("Chat").focusable().frame(150, 130, 100, 44);
    const auto root = screen.build();
    const auto shared = [&](const std::string& className) {
        return std::const_pointer_cast<AudView>(test::findView(*root, className).shared_from_this());
    };
    auto tag = shared("Tag");
    tag->props->remove("isActiveControl");
    FoundText shown;
    shown.text = "Terms and";
    shown.rect = AudBounds(48, 300, 420, 480);

    auto rule = makeRule(AudRuleId::collidingViews);
    auto& vision = dynamic_cast<VisionRule&>(*rule);
    const auto props =
        vision.collectVisionProps(*shared("Terms"), {shown}, {shared("Badge"), tag, shared("ChatButton")});
    EXPECT_EQ(props->get(R::overlappingViewsKey), shared("Badge")->description());
    EXPECT_EQ(decideOutcome(*rule, *props).status, AudStatus::incomplete);

    const auto two = vision.collectVisionProps(*shared("Terms"), {shown}, {shared("Badge"), shared("Badge")});
    EXPECT_EQ(two->get(R::overlappingViewsKey),
              shared("Badge")->description() + "\n\n" + shared("Badge")->description());
    EXPECT_FALSE(vision.collectVisionProps(*shared("Terms"), {shown}, {})->contains(R::overlappingViewsKey));
}

}  // namespace
}  // namespace audkit
