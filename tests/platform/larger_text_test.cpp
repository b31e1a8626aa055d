#include <gtest/gtest.h>

#include <fstream>

#include "audkit/platform/bundle_platform.hpp"
#include "audkit/tree/aud_context.hpp"
#include "audkit/tree/aud_view.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

using nlohmann::json;

// A list of two labels; `height` is the labels' height in points.
test::BundleBuilder listWith(double height) {
    test::BundleBuilder builder;
    builder.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844), {"title", "body"}));
    builder.element("title", 48,
                    test::attributes("UILabel", test::rect(16, 100, 200, height)))["XC_kAXXCAttributeLabel"] =
        "Reading list";
    builder.element("body", 48,
                    test::attributes("UILabel", test::rect(16, 140, 200, height)))["XC_kAXXCAttributeLabel"] =
        "Winter orchards";
    return builder;
}

// A bundle with the given Settings labels; the application after the change
// shows its labels 24 points high instead of 20.
std::filesystem::path bundleWith(const test::TempDir& dir, const json& settings) {
    auto builder = listWith(20);
    if (!settings.is_null()) builder.document()["settings"] = settings;
    const auto path = builder.write(dir.path());
    const auto after = listWith(24).document();
    std::ofstream(dir.path() / "after.json") << json{{"root", after["root"]}, {"elements", after["elements"]}}.dump();
    return path;
}

double labelHeight(const std::shared_ptr<AudView>& root) {
    return root->children.at(0)->boundsInScreen.height() / 3;  // the builder's scale
}

const json allLabels = {"Accessibility", "Display & Text Size", "Larger Text", "Back"};

TEST(LargerText, TheScriptedSettingsMoveTheSliderAndTheApplicationAnswersWithLargerText) {
    test::LogCapture log;
    test::TempDir dir;
    BundlePlatform platform(CaptureBundle::open(
        bundleWith(dir, {{"labels", allLabels}, {"sliderValue", "40%"}, {"afterLargerText", "after.json"}})));
    const auto element = platform.elementUnderTest();
    const auto capture = captureWithLargerText(platform, *element, std::nullopt, {});
    ASSERT_FALSE(capture.error) << *capture.error;
    ASSERT_TRUE(capture.afterChange);
    EXPECT_DOUBLE_EQ(labelHeight(capture.afterChange), 24);
    EXPECT_DOUBLE_EQ(capture.originalPosition, 0.4);
    EXPECT_DOUBLE_EQ(*capture.changedPosition, 0.75);
    // Afterwards the slider is back at the user's position and the
    // application shows its own text size again.
    auto slider = platform.settingsApp().firstSlider();
    platform.settingsApp().staticText("Larger Text")->tap();
    EXPECT_EQ(slider->value(), "40%");
    EXPECT_DOUBLE_EQ(labelHeight(makeContext(platform, *element)->audView), 20);
}

TEST(LargerText, SettingsThatCannotBeDrivenNameTheMissingElement) {
    test::LogCapture log;
    const auto attempt = [](const json& settings) {
        test::TempDir dir;
        BundlePlatform platform(CaptureBundle::open(bundleWith(dir, settings)));
        return captureWithLargerText(platform, *platform.elementUnderTest(), std::nullopt, {});
    };
    const auto none = attempt(nullptr);
    ASSERT_TRUE(none.error);
    EXPECT_TRUE(none.error->starts_with("Unable to navigate to StaticText \"Accessibility\" within Settings App."))
        << *none.error;
    EXPECT_FALSE(none.afterChange);
    const auto noLargerText =
        attempt({{"labels", {"Accessibility", "Display & Text Size", "Back"}}, {"afterLargerText", "after.json"}});
    ASSERT_TRUE(noLargerText.error);
    EXPECT_NE(noLargerText.error->find("\"Larger Text\""), std::string::npos);
    // Settings moved the slider, but no capture after the change was recorded:
    // nothing can be compared, which is said rather than guessed.
    const auto notRecorded = attempt({{"labels", allLabels}, {"sliderValue", nullptr}});
    ASSERT_TRUE(notRecorded.error);
    EXPECT_TRUE(notRecorded.error->starts_with("Unable to capture the application")) << *notRecorded.error;
    EXPECT_DOUBLE_EQ(notRecorded.originalPosition, 0.5);  // a value that is not text
}

// Settings whose every label exists but whose Larger Text page has no slider.
class SliderlessSettings : public SettingsApp {
public:
    struct Found : Slider {
        explicit Found(bool present) : present(present) {}
        bool exists() override { return present; }
        bool isHittable() override { return present; }
        void tap() override {}
        std::string description() override { return present ? "StaticText" : "Slider (first match)"; }
        std::optional<std::string> value() override { return std::nullopt; }
        void adjust(double) override {}
        bool present;
    };
    std::unique_ptr<Element> staticText(const std::string&) override { return std::make_unique<Found>(true); }
    std::unique_ptr<Element> button(const std::string&) override { return std::make_unique<Found>(true); }
    std::unique_ptr<Slider> firstSlider() override { return std::make_unique<Found>(false); }
    void swipeDown() override {}
};

class SliderlessPlatform : public BundlePlatform {
public:
    using BundlePlatform::BundlePlatform;
    SettingsApp& settingsApp() override { return settings; }
    SliderlessSettings settings;
};

TEST(LargerText, NoSliderIsANavigationFailureNotAScreenOfFailures) {
    test::LogCapture log;
    test::TempDir dir;
    SliderlessPlatform platform(CaptureBundle::open(bundleWith(dir, {{"labels", allLabels}})));
    const auto capture = captureWithLargerText(platform, *platform.elementUnderTest(), std::nullopt, {});
    ASSERT_TRUE(capture.error);
    EXPECT_TRUE(capture.error->starts_with("Unable to navigate to Slider (first match) within Settings App."));
    EXPECT_FALSE(capture.afterChange);
}

TEST(LargerText, BrokenSettingsMembersAreClearErrors) {
    const auto errorFor = [](const json& settings) {
        test::TempDir dir;
        return test::errorOf([&] { (void)CaptureBundle::open(bundleWith(dir, settings)); });
    };
    EXPECT_NE(errorFor("yes").find("member \"settings\" must be an object"), std::string::npos);
    EXPECT_NE(errorFor({{"labels", "Accessibility"}}).find("\"settings.labels\" must be an array"), std::string::npos);
    EXPECT_NE(errorFor({{"labels", {1}}}).find("must hold strings"), std::string::npos);
    EXPECT_NE(errorFor({{"afterLargerText", "missing.json"}}).find("missing.json"), std::string::npos);
}

}  // namespace
}  // namespace audkit
