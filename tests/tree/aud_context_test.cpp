#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "audkit/base/base64.hpp"
#include "audkit/base/id_and_time_source.hpp"
#include "audkit/base/process_state.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/tree/aud_context.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

using nlohmann::json;

// An application of 4 x 8 points at scale 1 (the builder's screenshot is 4 x 8 pixels).
test::BundleBuilder smallApp() {
    test::BundleBuilder builder;
    builder.document()["device"]["scale"] = 1;
    builder.element(
        "app", 2,
        test::attributes("UIApplication", test::rect(0, 0, 4, 8), {"nav", "panel"}))["XC_kAXXCAttributeLabel"] = "Shop";
    builder.element("nav", 21, test::attributes("UINavigationBar", test::rect(0, 0, 4, 2), {"title"}));
    builder.element("title", 48, test::attributes("UILabel", test::rect(0, 0, 4, 2)))["XC_kAXXCAttributeLabel"] =
        "Cart";
    builder.element("panel", 1, test::attributes("UIView", test::rect(1, 2, 2, 3)));
    return builder;
}

std::shared_ptr<AudContext> contextOf(const test::BundleBuilder& builder, const test::TempDir& dir) {
    builder.write(dir.path());
    BundlePlatform platform(CaptureBundle::open(dir.path()));
    return makeContext(platform, *platform.elementUnderTest());
}

class ContextTest : public ::testing::Test {
protected:
    void SetUp() override {
        IdAndTimeSource::setClock([] { return 1700000000.1234; });
    }
    void TearDown() override { IdAndTimeSource::setClock(nullptr); }
    test::LogCapture log;
    test::TempDir dir;
};

TEST_F(ContextTest, ApplicationScanKeepsTheFullScreenshot) {
    const auto context = contextOf(smallApp(), dir);
    EXPECT_EQ(context->screenshot.frame, AudBounds(0, 4, 0, 8));
    EXPECT_EQ(context->audDevice, (AudDevice{"iPhone 15", "iOS", "17.2", 8, 4, 1}));
    const auto& meta = context->audMetaData;
    EXPECT_TRUE(meta.isFullScreenForML);
    EXPECT_EQ(meta.appIdentifier, "com.example.shop.Shop");
    EXPECT_EQ(meta.analysisTimestamp, 1700000000123);
    EXPECT_EQ(meta.screenTitle, "Cart");  // the static text in the navigation bar
    EXPECT_EQ(meta.audVersion, audVersion());
    EXPECT_EQ(context->audDevice.screenSize(), AudBounds(0, 4, 0, 8));
    // The screen was known while the tree was built, so the bar at the top is a header.
    EXPECT_TRUE(context->audView->children.at(0)->isHeaderOrFooter());
    // The recorded PNG is kept as it is, not encoded again, beside its pixels.
    EXPECT_EQ(base64Decode(context->screenshot.base64png), test::readFile(dir.path() / "screenshot.png"));
    ASSERT_TRUE(context->screenshot.decoded);
    EXPECT_EQ(context->screenshot.decoded->width, 4U);
}

TEST_F(ContextTest, SubElementScanCropsTheScreenshot) {
    auto builder = smallApp();
    builder.document()["root"] = "panel";
    const auto context = contextOf(builder, dir);
    EXPECT_EQ(context->screenshot.frame, AudBounds(0, 2, 0, 3));
    EXPECT_FALSE(context->audMetaData.isFullScreenForML);
    EXPECT_EQ(context->audMetaData.screenTitle, noScreenTitle);
    const auto png = base64Decode(context->screenshot.base64png);
    ASSERT_TRUE(png.has_value());
    EXPECT_TRUE(png->starts_with("\x89PNG"));
}

TEST_F(ContextTest, TitleCandidatesAndIdentifierFallbacks) {
    auto builder = smallApp();
    auto& document = builder.document();
    document["rootQueries"] = {{"title", "Own title"}};
    document["elements"]["nav"]["attributes"]["XC_kAXXCAttributeViewControllerTitle"] = "  Controller  ";
    document["elements"]["panel"]["attributes"]["XC_kAXXCAttributeElementType"] = "UILayoutContainerView";
    document["elements"]["panel"]["attributes"]["XC_kAXXCAttributeViewControllerTitle"] = "Skipped";
    document["elements"]["title"]["attributes"].erase("XC_kAXXCAttributeLabel");
    document["elements"]["app"]["attributes"].erase("XC_kAXXCAttributeLabel");
    document.erase("runner");
    const auto context = contextOf(builder, dir);
    EXPECT_EQ(context->audMetaData.screenTitle, "Controller");
    EXPECT_EQ(context->audMetaData.appIdentifier, noApplicationIdentifier);
}

TEST_F(ContextTest, UnreadableRootFailsWithTheFixedText) {
    auto builder = smallApp();
    builder.document()["elements"]["app"]["attributes"] = nullptr;
    try {
        (void)contextOf(builder, dir);
        FAIL();
    } catch (const ContextError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to get view hierarchy.");
    }
}

TEST_F(ContextTest, JsonWritesJpegAndReadsTheFrameFromTheDevice) {
    auto context = contextOf(smallApp(), dir);
    context->audMetaData.customScanName = "Checkout";
    context->screenshot.frame = AudBounds(0, 1, 0, 1);  // whatever the writer had
    const auto written = contextToJson(*context);
    EXPECT_TRUE(base64Decode(written.at("screenshot").get<std::string>())->starts_with("\xff\xd8"));
    EXPECT_EQ(written.at("audMetaData").dump(),
              R"({"appIdentifier":"com.example.shop.Shop","analysisTimestamp":"1700000000123","audVersion":")" +
                  audVersion() + R"(","screenTitle":"Checkout","isFullScreenForML":true})");
    const auto read = contextFromJson(written);
    EXPECT_EQ(read->screenshot.frame, AudBounds(0, 4, 0, 8));
    EXPECT_EQ(read->audMetaData.screenTitle, "Checkout");
    EXPECT_FALSE(read->audMetaData.customScanName.has_value());
    EXPECT_EQ(contextToJson(*read).at("audView"), written.at("audView"));

    context->screenshot.decoded = nullptr;  // the pixels no longer match the broken bytes below
    context->screenshot.base64png = "not base64!";
    EXPECT_THROW((void)contextToJson(*context), ImageCompressionError);
    context->screenshot.base64png = base64Encode("plain text");
    EXPECT_THROW((void)contextToJson(*context), ImageCompressionError);
}

TEST(AudMetaData, ReadingDefaultsAndTimestamps) {
    auto meta = json::parse(R"({"appIdentifier":"a","analysisTimestamp":"+42","audVersion":"1","screenTitle":"t"})");
    EXPECT_TRUE(metaDataFromJson(meta).isFullScreenForML);
    EXPECT_EQ(metaDataFromJson(meta).analysisTimestamp, 42);
    meta["analysisTimestamp"] = "-7";
    EXPECT_EQ(metaDataFromJson(meta).analysisTimestamp, -7);
    meta["analysisTimestamp"] = "12abc";
    EXPECT_EQ(metaDataFromJson(meta).analysisTimestamp, 0);
    meta["analysisTimestamp"] = 42;
    EXPECT_THROW((void)metaDataFromJson(meta), nlohmann::json::exception);

    AudMetaData named{"a", 5, "1", "Title", true, "Mine"};
    EXPECT_EQ(named.description(),
              R"(<AudMetaData appId="a" analysisTimestamp="5" audVersion="1" screenTitle="Mine">)");
}

}  // namespace
}  // namespace audkit
