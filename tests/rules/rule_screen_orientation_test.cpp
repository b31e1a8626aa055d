#include <gtest/gtest.h>

#include "audkit/facade/capture_context.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/rules/rule_screen_orientation.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using nlohmann::json;

// The root's verdict on a recorded device whose application takes these
// frames after turning (none: the bundle records no rotation).
test::Verdict orientationVerdict(const std::optional<json>& orientation, DeviceOrientation* restored = nullptr) {
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"text"}).frame(0, 0, 390, 844);
    screen.add("text", T::staticText, "Body").label("Hello").frame(10, 100, 100, 20);
    if (orientation) screen.bundle().document()["orientation"] = *orientation;
    test::TempDir dir;
    BundlePlatform platform(CaptureBundle::open(screen.bundle().write(dir.path()).string()));
    const AudConf configuration;
    const auto context = captureContext(platform, *platform.elementUnderTest(), configuration);
    if (restored) *restored = platform.device().orientation();
    const auto body = test::judge(AudRuleId::screenOrientation, *context->audView, "Body", context.get());
    EXPECT_EQ(body.status, AudStatus::inapplicable);  // only the root is judged
    return test::judge(AudRuleId::screenOrientation, *context->audView, "UIApplication", context.get());
}

json frames(double landscapeWidth, double landscapeHeight) {
    return {{"initial", 3},
            {"appFrames",
             {{"1", test::rect(0, 0, 390, 844)},
              {"3", test::rect(0, 0, landscapeWidth, landscapeHeight)},
              {"4", test::rect(0, 0, landscapeWidth, landscapeHeight)}}}};
}

TEST(RuleScreenOrientation, RotatingLockedAndUnrotatableApplications) {
    test::LogCapture log;
    DeviceOrientation restored = DeviceOrientation::unknown;
    EXPECT_EQ(orientationVerdict(frames(844, 390), &restored),
              (test::Verdict{AudStatus::pass, std::string(RuleScreenOrientation::info.passingDescription)}));
    EXPECT_EQ(restored, DeviceOrientation::landscapeLeft);  // the device is turned back
    EXPECT_EQ(orientationVerdict(frames(390, 844)).status, AudStatus::fail);
    // No recorded rotation, or a frame that cannot be read: no verdict at all.
    EXPECT_EQ(orientationVerdict(std::nullopt).status, AudStatus::inapplicable);
    auto missing = frames(844, 390);
    missing["appFrames"].erase("4");
    EXPECT_EQ(orientationVerdict(missing).status, AudStatus::inapplicable);
}

TEST(RuleScreenOrientation, SupportedOrientationsFromTheFrames) {
    using R = RuleScreenOrientation;
    const PlatformRect portrait{0, 0, 390, 844}, landscape{0, 0, 844, 390};
    EXPECT_EQ(R::supportedOrientations({portrait, landscape, portrait}), AudOrientation::all);
    EXPECT_EQ(R::supportedOrientations({portrait, portrait, portrait}), AudOrientation::portrait);
    EXPECT_EQ(R::supportedOrientations({landscape, landscape, landscape}), AudOrientation::landscape);

    RuleScreenOrientation rule(catalogueConf(AudRuleId::screenOrientation));
    AudProps props;
    props.add(R::supportedOrientationsKey, AudOrientation::landscape);
    EXPECT_EQ(decideOutcome(rule, props).status, AudStatus::fail);
    EXPECT_EQ(test::keysOf(props), test::declared(R::keys));
}

}  // namespace
}  // namespace audkit
