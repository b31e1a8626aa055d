#include <gtest/gtest.h>

#include <fstream>

#include "audkit/base/process_state.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/tree/element_tree_walk.hpp"
#include "audkit/tree/snapshot_capture.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

using nlohmann::json;

// A small application: a window holding a label and a button.
test::BundleBuilder shopBundle() {
    test::BundleBuilder builder;
    builder.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844), {"win"}));
    builder.element("win", 4, test::attributes("UIWindow", test::rect(0, 0, 390, 844), {"label", "buy"}));
    builder.element("label", 48, test::attributes("UILabel", test::rect(16, 100, 200, 20)))["XC_kAXXCAttributeLabel"] =
        "Total";
    builder.element("buy", 9, test::attributes("UIButton", test::rect(16, 140, 120, 44)))["XC_kAXXCAttributeLabel"] =
        "Buy";
    return builder;
}

CaptureBundle bundleFrom(const json& document) { return CaptureBundle::fromText(document.dump(), "shop/capture.json"); }

std::string openError(const std::string& text) {
    try {
        (void)CaptureBundle::fromText(text, "shop/capture.json");
    } catch (const CaptureBundleError& error) {
        return error.what();
    }
    return "no error";
}

std::vector<std::string> capturedClassNames(BundlePlatform& platform) {
    std::vector<std::string> names;
    walkCapturedElements(platform.snapshotSource(), *platform.elementUnderTest(),
                         [&](const AudElement& element, std::size_t depth) {
                             names.push_back(std::string(depth, '.') + element.className);
                         });
    return names;
}

TEST(CaptureBundle, StructuralErrorsNameTheFileAndTheMember) {
    auto document = shopBundle().document();
    EXPECT_EQ(openError("{\"format\": "), openError("{\"format\": "));  // deterministic
    EXPECT_TRUE(openError("{\"format\": ").starts_with("shop/capture.json: not valid JSON: ")) << openError("{");
    EXPECT_EQ(openError("[1]"), "shop/capture.json: the document must be a JSON object, found an array");

    auto wrongFormat = document;
    wrongFormat["format"] = "xcresult";
    EXPECT_EQ(openError(wrongFormat.dump()),
              "shop/capture.json: member \"format\" is \"xcresult\", expected \"audkit-capture\"");
    auto wrongVersion = document;
    wrongVersion["version"] = 2;
    EXPECT_EQ(openError(wrongVersion.dump()),
              "shop/capture.json: member \"version\" is 2, only version 1 is supported");
    auto noRoot = document;
    noRoot.erase("root");
    EXPECT_EQ(openError(noRoot.dump()), "shop/capture.json: missing member \"root\"");
    auto noElements = document;
    noElements.erase("elements");
    EXPECT_EQ(openError(noElements.dump()), "shop/capture.json: missing member \"elements\"");
    auto dangling = document;
    dangling["root"] = "application";
    EXPECT_EQ(openError(dangling.dump()),
              "shop/capture.json: member \"root\" names \"application\", which is not in \"elements\"");
    auto noScale = document;
    noScale["device"].erase("scale");
    EXPECT_EQ(openError(noScale.dump()), "shop/capture.json: missing member \"device.scale\"");
    auto rootWithoutType = document;
    rootWithoutType["elements"]["app"]["rawType"] = nullptr;
    EXPECT_EQ(openError(rootWithoutType.dump()),
              "shop/capture.json: the root element \"app\" needs an integer \"rawType\"");

    // A member given twice is refused, not taken at random.
    const auto text = document.dump();
    EXPECT_EQ(openError(text.substr(0, text.size() - 1) + R"(,"root":"buy"})"),
              "shop/capture.json: member \"root\" appears twice in one object");
    auto twiceInAnElement = text;
    twiceInAnElement.insert(twiceInAnElement.find("\"rawType\""), R"("rawType":9,)");
    EXPECT_EQ(openError(twiceInAnElement), "shop/capture.json: member \"rawType\" appears twice in one object");
    // A value nested deeper than any capture is refused as it is read (copying
    // or rendering it would recurse as deep as it nests).
    auto deep = text;
    deep.replace(deep.find("\"audkit-capture\""), 16, std::string(100000, '[') + std::string(100000, ']'));
    EXPECT_NE(openError(deep).find("shop/capture.json: not valid JSON: "), std::string::npos);
    EXPECT_NE(openError(deep).find("the document nests deeper than 512 levels"), std::string::npos);
}

TEST(CaptureBundle, CyclesAndSharedChildrenAreReportedWithTheirIds) {
    auto cycle = shopBundle();
    cycle.document()["elements"]["buy"]["attributes"]["XC_kAXXCAttributeChildren"] = {"win"};
    EXPECT_EQ(openError(cycle.document().dump()),
              "shop/capture.json: reference cycle in \"elements\": \"win\" > \"buy\" > \"win\"");

    auto selfReference = shopBundle();
    selfReference.document()["elements"]["app"]["attributes"]["XC_kAXXCAttributeChildren"] = {"win", "app"};
    EXPECT_EQ(openError(selfReference.document().dump()),
              "shop/capture.json: reference cycle in \"elements\": \"app\" > \"app\"");

    auto twoParents = shopBundle();
    twoParents.document()["elements"]["label"]["attributes"]["XC_kAXXCAttributeChildren"] = {"buy"};
    const auto message = openError(twoParents.document().dump());
    EXPECT_EQ(message,
              "shop/capture.json: element \"buy\" is listed under two parents in \"elements\": \"win\" and \"label\"");
}

TEST(CaptureBundle, AnswersTheSnapshotOperationsLikeTheDevice) {
    test::LogCapture log;
    BundlePlatform platform(bundleFrom(shopBundle().document()));
    EXPECT_EQ(capturedClassNames(platform),
              (std::vector<std::string>{"UIApplication", ".UIWindow", "..UILabel", "..UIButton"}));
    const auto buy = makeChildElement(platform.snapshotSource(), {"buy"});
    ASSERT_TRUE(buy);
    EXPECT_EQ(buy->elementType, AudElementType::button);
    EXPECT_EQ(buy->name, "Buy");
    EXPECT_EQ(buy->state(), "enabled");
    EXPECT_EQ(buy->frame, (PlatformRect{16, 140, 120, 44}));
    EXPECT_EQ(platform.applicationControl().runnerBundleIdentifier(), "com.example.shop.uitests.xctrunner");
    EXPECT_EQ(platform.device().name(), "iPhone 15");
    EXPECT_EQ(platform.snapshotSource().screenScale(), 3);
}

TEST(CaptureBundle, UnreadableChildrenAreLeftOutWithTheirDescendants) {
    test::LogCapture log;
    auto builder = shopBundle();
    auto& elements = builder.document()["elements"];
    elements["win"]["attributes"]["XC_kAXXCAttributeChildren"] = {"label", "nowhere", 7, "typeless", "broken", "buy"};
    builder.element("typeless", nullptr, test::attributes("UIView", test::rect(0, 0, 1, 1), {"orphan"}));
    builder.element("orphan", 48, test::attributes("UILabel", test::rect(0, 0, 1, 1)));
    elements["broken"] = {{"rawType", 1}, {"attributes", nullptr}};
    elements["unreferenced"] = {{"rawType", 1}, {"attributes", test::attributes("Ghost", test::rect(0, 0, 1, 1))}};
    BundlePlatform platform(bundleFrom(builder.document()));
    EXPECT_EQ(capturedClassNames(platform),
              (std::vector<std::string>{"UIApplication", ".UIWindow", "..UILabel", "..UIButton"}));
}

TEST(CaptureBundle, ValuesOfTheWrongKindTakeTheirFallbacks) {
    test::LogCapture log;
    auto builder = shopBundle();
    auto& buy = builder.document()["elements"]["buy"]["attributes"];
    buy["XC_kAXXCAttributeFrame"] = {{"X", 1}, {"Y", 2}, {"Width", "wide"}, {"Height", 4}};
    buy["XC_kAXXCAttributeVisibleFrame"] = nullptr;
    buy["XC_kAXXCAttributeTraits"] = 1.5;
    buy["XC_kAXXCAttributeLabel"] = json::array({"Buy"});
    buy["XC_kAXXCAttributeIsVisible"] = true;
    BundlePlatform platform(bundleFrom(builder.document()));
    const auto element = makeChildElement(platform.snapshotSource(), {"buy"});
    ASSERT_TRUE(element);
    EXPECT_EQ(element->frame, PlatformRect{});
    EXPECT_EQ(element->visibleFrame, PlatformRect{});
    EXPECT_EQ(element->traits, 0U);
    EXPECT_FALSE(element->label.has_value());
    EXPECT_TRUE(element->isVisible);
}

// A misspelt key is named (once, with the first element that has it): it
// would otherwise leave its attribute unset without a word.
TEST(CaptureBundle, UnknownAttributeKeysAreNamed) {
    test::LogCapture log;
    auto builder = shopBundle();
    for (const auto& [id, record] : builder.document()["elements"].items())
        builder.document()["elements"][id]["attributes"]["XC_kAXXCAttributeIsVisble"] = 1;
    (void)bundleFrom(builder.document());
    std::vector<std::string> warnings;
    for (const auto& line : log.lines())
        if (line.find("unknown attribute key") != std::string::npos) warnings.push_back(line);
    ASSERT_EQ(warnings.size(), 1U);
    EXPECT_NE(warnings[0].find("shop/capture.json: element \""), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[0].find("has the unknown attribute key \"XC_kAXXCAttributeIsVisble\", which is ignored"),
              std::string::npos)
        << warnings[0];

    test::LogCapture clean;
    (void)bundleFrom(shopBundle().document());
    for (const auto& line : clean.lines()) EXPECT_EQ(line.find("unknown attribute key"), std::string::npos) << line;
}

TEST(CaptureBundle, TraitBitsAreReadExactly) {
    test::LogCapture log;
    auto builder = shopBundle();
    auto& elements = builder.document()["elements"];
    elements["buy"]["attributes"]["XC_kAXXCAttributeTraits"] = 9007199254740993ULL;  // 2^53 + 1: lost through a double
    elements["label"]["attributes"]["XC_kAXXCAttributeTraits"] = "0x20000000000001";
    elements["win"]["attributes"]["XC_kAXXCAttributeTraits"] = "-1";
    BundlePlatform platform(bundleFrom(builder.document()));
    EXPECT_EQ(makeChildElement(platform.snapshotSource(), {"buy"})->traits, 9007199254740993ULL);
    EXPECT_EQ(makeChildElement(platform.snapshotSource(), {"label"})->traits, 0x20000000000001ULL);
    EXPECT_EQ(makeChildElement(platform.snapshotSource(), {"win"})->traits, 0U);
}

TEST(CaptureBundle, KeyboardFlagIsKeptWhenTheRootHasWebViews) {
    test::LogCapture log;
    auto withKeyboard = shopBundle();
    withKeyboard.document()["rootQueries"] = {{"keyboardExists", true}};
    BundlePlatform first(bundleFrom(withKeyboard.document()));
    EXPECT_TRUE(makeRootElement(first.snapshotSource(), *first.elementUnderTest())->keyboardOnScreen);

    auto webViews = shopBundle();
    webViews.document()["rootQueries"] = {{"webViewCount", 2}, {"keyboardExists", false}};
    BundlePlatform second(bundleFrom(webViews.document()));
    EXPECT_TRUE(makeRootElement(second.snapshotSource(), *second.elementUnderTest())->keyboardOnScreen);

    auto plain = shopBundle();
    BundlePlatform third(bundleFrom(plain.document()));
    EXPECT_FALSE(makeRootElement(third.snapshotSource(), *third.elementUnderTest())->keyboardOnScreen);
}

TEST(CaptureBundle, RootWithoutAttributesGivesNoElement) {
    auto builder = shopBundle();
    builder.document()["elements"]["app"]["attributes"] = nullptr;
    BundlePlatform platform(bundleFrom(builder.document()));
    EXPECT_FALSE(makeRootElement(platform.snapshotSource(), *platform.elementUnderTest()).has_value());
}

TEST(CaptureBundle, RotationAnswersTheRecordedApplicationFrames) {
    auto builder = shopBundle();
    builder.document()["orientation"] = {{"initial", 1}, {"appFrames", {{"3", test::rect(0, 0, 844, 390)}}}};
    BundlePlatform platform(bundleFrom(builder.document()));
    auto& device = platform.device();
    auto& root = *platform.elementUnderTest();
    EXPECT_EQ(device.orientation(), DeviceOrientation::portrait);
    ASSERT_TRUE(device.setOrientation(DeviceOrientation::landscapeLeft));
    EXPECT_EQ(makeRootElement(platform.snapshotSource(), root)->frame, (PlatformRect{0, 0, 844, 390}));
    ASSERT_TRUE(device.setOrientation(DeviceOrientation::landscapeRight));
    EXPECT_EQ(makeRootElement(platform.snapshotSource(), root)->frame, PlatformRect{});  // not recorded
    ASSERT_TRUE(device.setOrientation(DeviceOrientation::portrait));
    EXPECT_EQ(makeRootElement(platform.snapshotSource(), root)->frame, (PlatformRect{0, 0, 390, 844}));

    BundlePlatform fixed(bundleFrom(shopBundle().document()));
    EXPECT_FALSE(fixed.device().setOrientation(DeviceOrientation::landscapeLeft));
}

// capture.json text for a chain of elements, each the only child of the one
// before, written directly so that large captures are quick to make.
std::string chainCapture(int count, const std::string& label, const std::string& lastChild) {
    std::string text = R"({"format":"audkit-capture","version":1,)"
                       R"("device":{"name":"iPhone","systemName":"iOS","systemVersion":"17","scale":3},)"
                       R"("root":"e0","elements":{)";
    for (int i = 0; i < count; ++i) {
        const std::string child = i + 1 < count ? "\"e" + std::to_string(i + 1) + "\"" : lastChild;
        text += (i ? "," : "") + std::string("\"e") + std::to_string(i) + R"(":{"rawType":)" + (i ? "1" : "2") +
                R"(,"attributes":{"XC_kAXXCAttributeElementType":"UIView","XC_kAXXCAttributeLabel":")" + label +
                R"(","XC_kAXXCAttributeFrame":{"X":0,"Y":0,"Width":10,"Height":10},"XC_kAXXCAttributeChildren":[)" +
                child + "]}}";
    }
    return text + "}}";
}

std::size_t countCaptured(const CaptureBundle& bundle, std::size_t& deepest) {
    BundlePlatform platform(bundle);
    std::size_t visited = 0;
    walkCapturedElements(platform.snapshotSource(), *platform.elementUnderTest(),
                         [&](const AudElement&, std::size_t d) {
                             ++visited;
                             deepest = std::max(deepest, d);
                         });
    return visited;
}

TEST(CaptureBundle, DeepCapturesDoNotExhaustTheStack) {
    constexpr int depth = 100000;
    std::size_t deepest = 0;
    EXPECT_EQ(countCaptured(CaptureBundle::fromText(chainCapture(depth, "x", ""), "deep.json"), deepest),
              static_cast<std::size_t>(depth));
    EXPECT_EQ(deepest, static_cast<std::size_t>(depth - 1));

    // The same chain closed into a loop is reported, not walked forever.
    EXPECT_EQ(openError(chainCapture(depth, "x", "\"e1\"")).substr(0, 68),
              "shop/capture.json: reference cycle in \"elements\": \"e1\" > \"e2\" > \"e3\"");
}

TEST(CaptureBundle, FiftyMegabyteCaptureIsRead) {
    const auto text = chainCapture(100000, std::string(430, 'L'), "");
    ASSERT_GT(text.size(), 50U * 1000 * 1000);
    std::size_t deepest = 0;
    EXPECT_EQ(countCaptured(CaptureBundle::fromText(text, "large.json"), deepest), 100000U);
}

TEST(CaptureBundle, TruncatedAndEmptyFilesGiveClearErrors) {
    const auto text = shopBundle().document().dump();
    for (std::size_t length : {std::size_t{0}, std::size_t{1}, text.size() / 2, text.size() - 1}) {
        EXPECT_TRUE(openError(text.substr(0, length)).starts_with("shop/capture.json: not valid JSON")) << length;
    }
}

TEST(CaptureBundle, OpensADirectoryOrItsCaptureFile) {
    test::TempDir dir;
    shopBundle().write(dir.path() / "shop");
    EXPECT_EQ(CaptureBundle::open(dir.path() / "shop").elementCount(), 4U);
    const auto bundle = CaptureBundle::open(dir.path() / "shop" / "capture.json");
    EXPECT_EQ(bundle.screenshotPath(), dir.path() / "shop" / "screenshot.png");
    BundlePlatform platform(bundle);
    const auto screenshot = platform.screen().screenshot();
    EXPECT_EQ(screenshot.image->width, 4U);
    EXPECT_EQ(screenshot.image, platform.decodeScreenshot());  // shared, not copied
    EXPECT_EQ(screenshot.widthInPoints(), 4.0F / 3.0F);

    try {
        (void)CaptureBundle::open(dir.path() / "missing");
        FAIL();
    } catch (const CaptureBundleError& error) {
        EXPECT_EQ(std::string(error.what()), (dir.path() / "missing").string() + ": no such file or directory");
    }
    std::filesystem::create_directory(dir.path() / "empty");
    EXPECT_THROW((void)CaptureBundle::open(dir.path() / "empty"), CaptureBundleError);
}

TEST(CaptureBundle, BrokenScreenshotIsAnErrorOnlyWhenItIsRead) {
    test::TempDir dir;
    shopBundle().write(dir.path());
    std::ofstream(dir.path() / "screenshot.png", std::ios::trunc) << "\x89PNG\r\n\x1a\n trailing garbage";
    BundlePlatform platform(CaptureBundle::open(dir.path()));
    try {
        (void)platform.screen().screenshot();
        FAIL();
    } catch (const Error& error) {
        EXPECT_TRUE(std::string(error.what()).starts_with((dir.path() / "screenshot.png").string() + ": PNG"))
            << error.what();
    }
}

}  // namespace
}  // namespace audkit
