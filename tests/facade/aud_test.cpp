#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <stdexcept>

#include "audkit/facade/aud.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/png_codec.hpp"
#include "audkit/rules/rule_catalogue.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

// These tests follow the runner with the four name rules; the other rules have
// their own tests and would only add results here.
std::shared_ptr<AudConf> nameRulesOnly() {
    auto conf = std::make_shared<AudConf>();
    const std::set<AudRuleId> nameRules{AudRuleId::activeControlName, AudRuleId::conflictingTraits,
                                        AudRuleId::imageViewName, AudRuleId::meaningfulAccessibleName};
    for (const auto id : allCases<AudRuleId>())
        if (!nameRules.contains(id)) conf->ignore(std::string(toString(id)), true);
    return conf;
}

using nlohmann::json;

// Answers with lines recorded from an earlier recognition.
class RecordedRecognizer : public TextRecognizer {
public:
    explicit RecordedRecognizer(std::vector<TextObservation> lines) : lines_(std::move(lines)) {}
    std::vector<TextObservation> recognize(const RgbaImage&) override { return lines_; }

private:
    std::vector<TextObservation> lines_;
};

// A 4 x 8 point screen at scale 1 with a few controls.
test::BundleBuilder screen() {
    test::BundleBuilder builder;
    builder.document()["device"]["scale"] = 1;
    builder.element("app", 2,
                    test::attributes("UIApplication", test::rect(0, 0, 4, 8), {"hidden", "picker", "save", "id"}));
    auto& hidden = builder.element("hidden", 1, test::attributes("HiddenGroup", test::rect(0, 0, 4, 2), {"inside"}));
    hidden["XC_kAXXCAttributeIsVisible"] = 0;
    auto& inside = builder.element("inside", 9, test::attributes("InsideButton", test::rect(0, 0, 2, 2)));
    inside["XC_kAXXCAttributeIsElement"] = 1;
    builder.element("picker", 38, test::attributes("UIPickerView", test::rect(0, 2, 4, 2), {"wheel"}));
    builder.element("wheel", 9, test::attributes("WheelButton", test::rect(0, 2, 4, 2)));
    auto& save = builder.element("save", 9, test::attributes("UIButton", test::rect(0, 4, 4, 2)));
    save["XC_kAXXCAttributeIsElement"] = 1;
    save["XC_kAXXCAttributeLabel"] = "Save button";
    save["XC_kAXXCAttributeTraits"] = 1;
    auto& withId = builder.element("id", 9, test::attributes("OtherButton", test::rect(0, 6, 4, 2)));
    withId["XC_kAXXCAttributeIsElement"] = 1;
    withId["XC_kAXXCAttributeIdentifier"] = "closeButton";
    return builder;
}

class AudTest : public ::testing::Test {
protected:
    std::shared_ptr<AudResult> scan(const std::shared_ptr<AudConf>& conf, TextRecognizer* recognizer = nullptr) {
        screen().write(dir.path());
        BundlePlatform platform(CaptureBundle::open(dir.path()));
        context = makeContext(platform, *platform.elementUnderTest());
        return Aud(conf, recognizer).run(context);
    }

    std::vector<std::string> recorded(const AudResult& result, const std::string& className) const {
        std::vector<std::string> lines;
        for (const auto& ruleResult : result.audRuleResults) {
            if (ruleResult->props->get<std::string>("className") == className)
                lines.push_back(ruleResult->ruleId + " " + std::string(toString(ruleResult->status)));
        }
        return lines;
    }

    test::LogCapture log;
    test::TempDir dir;
    std::shared_ptr<AudContext> context;
};

TEST_F(AudTest, HiddenViewsAndPickersAreSkippedButTheirChildrenAreNot) {
    const auto result = scan(nameRulesOnly());
    EXPECT_TRUE(recorded(*result, "HiddenGroup").empty());
    EXPECT_FALSE(recorded(*result, "InsideButton").empty());

    // A built picker keeps no children; one read back from a document may.
    auto& picker = *context->audView->children.at(1);
    ASSERT_EQ(picker.className, "UIPickerView");
    AudView::Fields fields;
    fields.className = "WheelButton";
    fields.elementType = AudElementType::button;
    fields.role = AudRole::control;
    fields.isVisibleToUser = true;
    auto props = std::make_shared<AudProps>();
    props->add("isActiveControl", true);
    picker.addChild(AudView::restore(fields, props, "42", true, std::nullopt));
    const auto again = Aud(nameRulesOnly(), nullptr).run(context);
    EXPECT_TRUE(recorded(*again, "UIPickerView").empty());
    // Examined: controls inside pickers are no ActiveControlName concern, and a
    // view without recorded traits cannot be judged for trait words.
    EXPECT_EQ(recorded(*again, "WheelButton"), std::vector<std::string>{"MeaningfulAccessibleName INCOMPLETE"});
}

// What an imported dump marks steers the run: the system's elements are
// counted and not judged (unless asked), an element listed twice in a row is
// judged once, and a failure resting on traits the importer inferred is not
// given but counted, while the same failure on recorded traits is.
TEST(AudRun, SystemElementsRepeatsAndInferredFacts) {
    test::LogCapture log;
    test::TempDir dir;
    test::BundleBuilder builder;
    builder.document()["device"]["scale"] = 1;
    builder.element("app", 2,
                    test::attributes("UIApplication", test::rect(0, 0, 4, 12),
                                     {"system", "twin", "twinAgain", "guessed", "recorded"}));
    auto button = [&](const std::string& id, const std::string& className, double y, const char* label) {
        auto& attributes = builder.element(id, 9, test::attributes(className, test::rect(0, y, 4, 2)));
        attributes["XC_kAXXCAttributeIsElement"] = 1;
        attributes["XC_kAXXCAttributeTraits"] = 1;
        if (label) attributes["XC_kAXXCAttributeLabel"] = label;
    };
    button("system", "SystemButton", 0, nullptr);
    button("twin", "TwinButton", 2, "Add");
    button("twinAgain", "TwinButton", 2, "Add");
    button("guessed", "GuessedButton", 6, "Save button");
    button("recorded", "RecordedButton", 8, "Send button");
    auto& elements = builder.document()["elements"];
    elements["system"]["provenance"] = {{"systemElement", "the keyboard"}};
    elements["guessed"]["provenance"] = {{"inferred", {{"XC_kAXXCAttributeTraits", "the element type Button"}}}};
    builder.screenshotPixels = {12, 30};
    builder.write(dir.path());

    auto run = [&](bool judgesSystem) {
        BundlePlatform platform(CaptureBundle::open(dir.path()));
        auto conf = nameRulesOnly();
        conf->judgesSystemElements = judgesSystem;
        return Aud(conf, nullptr).run(makeContext(platform, *platform.elementUnderTest()));
    };
    auto statuses = [](const AudResult& result, const std::string& className, const std::string& rule) {
        std::vector<AudStatus> found;
        for (const auto& ruleResult : result.audRuleResults)
            if (ruleResult->ruleId == rule && ruleResult->props->get<std::string>("className") == className)
                found.push_back(ruleResult->status);
        return found;
    };
    const auto result = run(false);
    EXPECT_TRUE(statuses(*result, "SystemButton", "ActiveControlName").empty());
    EXPECT_EQ(result->systemElementsNotJudged, 1U);
    EXPECT_EQ(statuses(*result, "TwinButton", "ActiveControlName"), std::vector{AudStatus::pass});
    EXPECT_TRUE(statuses(*result, "GuessedButton", "MeaningfulAccessibleName").empty());
    EXPECT_EQ(statuses(*result, "GuessedButton", "ActiveControlName"), std::vector{AudStatus::pass});
    EXPECT_EQ(statuses(*result, "RecordedButton", "MeaningfulAccessibleName"), std::vector{AudStatus::fail});
    EXPECT_EQ(result->verdictsOnInferredFacts, 1U);
    EXPECT_EQ(result->viewsExamined, 3U);  // three buttons: not the repeat, nor the application holding them
    // A result read back from its document counts as the run did.
    const auto readBack = resultFromJson(Json::parse(resultDocument(*result, -1)));
    EXPECT_EQ(readBack->viewsExamined, result->viewsExamined);
    EXPECT_EQ(readBack->elementsExamined, result->elementsExamined);

    const auto everything = run(true);
    EXPECT_EQ(statuses(*everything, "SystemButton", "ActiveControlName"), std::vector{AudStatus::fail});
    EXPECT_EQ(everything->systemElementsNotJudged, 0U);
}

TEST_F(AudTest, StatusesAndSummariesFollowTheRuleOutcome) {
    const auto result = scan(nameRulesOnly());
    EXPECT_EQ(recorded(*result, "UIButton"),
              (std::vector<std::string>{"ActiveControlName PASS", "ConflictingTraits PASS",
                                        "MeaningfulAccessibleName FAIL"}));
    for (const auto& ruleResult : result->audRuleResults) {
        if (ruleResult->props->get<std::string>("className") != "UIButton") continue;
        if (ruleResult->ruleId == "ActiveControlName") {
            EXPECT_EQ(ruleResult->ruleSummary,
                      "This view has an accessible name available for assistive technologies.");
        }
        if (ruleResult->ruleId == "MeaningfulAccessibleName") {  // a FAIL without words carries the configured summary
            EXPECT_EQ(ruleResult->ruleSummary, catalogueEntry(AudRuleId::meaningfulAccessibleName).summary);
        }
    }
    // The application itself concerns none of the rules: nothing INAPPLICABLE is kept.
    EXPECT_TRUE(recorded(*result, "UIApplication").empty());
    // The two nameless buttons and the name that repeats its trait.
    EXPECT_EQ(result->failures().size(), 3U);
}

TEST_F(AudTest, IgnoresByClassNameAndByIdentifier) {
    auto conf = nameRulesOnly();
    // ImageViewName never judges a button: ignoring it there records nothing.
    conf->ignoreRulesFor(
        {{"UIButton", {"MeaningfulAccessibleName", "ImageViewName"}}, {"closeButton", {"ActiveControlName"}}});
    const auto result = scan(conf);
    EXPECT_EQ(recorded(*result, "UIButton"),
              (std::vector<std::string>{"ActiveControlName PASS", "ConflictingTraits PASS",
                                        "MeaningfulAccessibleName IGNORED"}));
    EXPECT_EQ(recorded(*result, "OtherButton").front(), "ActiveControlName IGNORED");
    for (const auto& ruleResult : result->audRuleResults) {
        if (ruleResult->status != AudStatus::ignored) continue;
        EXPECT_TRUE(ruleResult->props->get<std::vector<std::string>>("ignoredRulesList").has_value());
    }
}

// Vision rules (judged on recognised text) and post-run rules (judged once
// every view has been seen) honour the ignores like the others.
TEST_F(AudTest, VisionAndPostRunRulesAreIgnoredWhereTheyWouldJudge) {
    auto only = [] {
        auto conf = std::make_shared<AudConf>();
        const std::set<AudRuleId> kept{AudRuleId::colorContrast, AudRuleId::focusableText,
                                       AudRuleId::touchTargetSpacing};
        for (const auto id : allCases<AudRuleId>())
            if (!kept.contains(id)) conf->ignore(std::string(toString(id)), true);
        return conf;
    };
    RecordedRecognizer recognizer({{"Save", 0.0, 0.25, 1.0, 0.25}});
    const auto judged = scan(only(), &recognizer);
    EXPECT_EQ(recorded(*judged, "UIButton"),
              (std::vector<std::string>{"ColorContrast INCOMPLETE", "TouchTargetSpacing PASS"}));
    EXPECT_EQ(recorded(*judged, "OtherButton"),
              (std::vector<std::string>{"ColorContrast INCOMPLETE", "TouchTargetSpacing FAIL"}));

    // FocusableText never judges a button: ignoring it there records nothing.
    auto conf = only();
    conf->ignoreRulesFor({{"UIButton", {"ColorContrast", "FocusableText", "TouchTargetSpacing"}},
                          {"closeButton", {"TouchTargetSpacing"}}});
    const auto ignored = scan(conf, &recognizer);
    EXPECT_EQ(recorded(*ignored, "UIButton"),
              (std::vector<std::string>{"ColorContrast IGNORED", "TouchTargetSpacing IGNORED"}));
    EXPECT_EQ(recorded(*ignored, "OtherButton"),
              (std::vector<std::string>{"ColorContrast INCOMPLETE", "TouchTargetSpacing IGNORED"}));
    EXPECT_EQ(recorded(*ignored, "InsideButton"), recorded(*judged, "InsideButton"));
}

TEST_F(AudTest, RecordedTextIsAttachedToControlsAndUndecodableScreenshotsStillScan) {
    // A line over the Save button (rows 4-6 of 8, in a bottom-left normalised box).
    RecordedRecognizer recognizer({{"Save", 0.0, 0.25, 1.0, 0.25}});
    const auto result = scan(nameRulesOnly(), &recognizer);
    const AudView* save = nullptr;
    visitPreOrder(*context->audView, [&](const AudView& view) {
        if (view.className == "UIButton") save = &view;
        return RunStatus::proceed;
    });
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->detectedText, "Save");

    context->screenshot.base64png = "@@@";
    context->screenshot.decoded.reset();  // as for a context read from a document
    const auto again = Aud(nameRulesOnly(), &recognizer).run(context);
    EXPECT_EQ(again->audRuleResults.size(), result->audRuleResults.size());
}

// Over a picture, the whole screen's reading glues the title to the
// picture's edge into one tall line; the title alone reads true, beside a
// speck of grain.
class GluedUntilAlone : public TextRecognizer {
public:
    std::vector<TextObservation> recognize(const RgbaImage& image) override {
        ++calls;
        if (image.width == 300)
            return {{"[opening ours", 0.0, 0.75, 0.6, 0.225}, {"Store locator", 0.066, 0.675, 0.5, 0.075}};
        return {{"Opening hours", 0.1, 0.2, 0.8, 0.6}, {"ee", 0.9, 0.0, 0.1, 0.1}};
    }
    int calls = 0;
};

// Fails on every image.
class BrokenRecognizer : public TextRecognizer {
public:
    std::vector<TextObservation> recognize(const RgbaImage&) override {
        ++calls;
        throw std::runtime_error("no model");
    }
    int calls = 0;
};

TEST_F(AudTest, AViewWhoseTextTheScreenMissedIsReadAgainAlone) {
    test::BundleBuilder builder;
    builder.document()["device"]["scale"] = 1;
    builder.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 300, 400), {"title", "caption"}));
    builder.element("title", 48, test::attributes("UILabel", test::rect(20, 40, 150, 30)))["XC_kAXXCAttributeLabel"] =
        "Opening hours";
    builder.element("caption", 48,
                    test::attributes("UILabel", test::rect(20, 100, 150, 30)))["XC_kAXXCAttributeLabel"] =
        "Store locator";
    builder.write(dir.path());
    std::ofstream(dir.path() / "screenshot.png", std::ios::binary)
        << encodePng(RgbaImage{300, 400, std::vector<std::uint8_t>(300 * 400 * 4, 255)});
    BundlePlatform platform(CaptureBundle::open(dir.path()));
    const auto context = makeContext(platform, *platform.elementUnderTest());

    GluedUntilAlone recognizer;
    const auto found = Aud(nameRulesOnly(), &recognizer).recognizeText(*context);
    EXPECT_EQ(recognizer.calls, 2);  // the screen, then the title alone; the caption was found
    std::vector<std::string> texts;
    for (const auto& text : found) texts.push_back(text.text);
    // What does not show the title (the grain) is not added.
    EXPECT_EQ(texts, (std::vector<std::string>{"[opening ours", "Store locator", "Opening hours"}));
    // In the screen's pixels: the title's box, with the room read around it.
    const auto& title = found.back().rect;
    EXPECT_NEAR(title.left(), 19.4, 0.5);
    EXPECT_NEAR(title.top(), 31.6, 0.5);
    EXPECT_NEAR(title.bottom(), 78.4, 0.5);

    // A recogniser that failed on the screen is not asked again for each view.
    BrokenRecognizer broken;
    EXPECT_TRUE(Aud(nameRulesOnly(), &broken).recognizeText(*context).empty());
    EXPECT_EQ(broken.calls, 1);
}

}  // namespace
}  // namespace audkit
