#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "audkit/platform/bundle_platform.hpp"
#include "audkit/rules/aud_kit_result_key.hpp"
#include "audkit/rules/aud_result.hpp"
#include "audkit/rules/rule_catalogue.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

std::shared_ptr<AudContext> exampleContext() {
    BundlePlatform platform(CaptureBundle::open(test::sourceDir() / "examples" / "sign-in"));
    return makeContext(platform, *platform.elementUnderTest());
}

std::shared_ptr<AudRuleResult> record(AudRuleId id, AudStatus status, const AudView& view,
                                      std::optional<std::string> summary = std::nullopt) {
    auto props = std::make_shared<AudProps>();
    props->add("className", view.className);
    props->add("label", view.name);
    return std::make_shared<AudRuleResult>(status, summary, *makeRule(id), view, std::move(props));
}

class ResultTest : public ::testing::Test {
protected:
    test::LogCapture log;
    std::shared_ptr<AudContext> context = exampleContext();
    const AudView& root = *context->audView;
};

// Each block is headed by the rule's own impact and summary (not whichever
// result came first), and a result's own message follows its status line.
TEST_F(ResultTest, DescriptionGroupsByRuleIdAndListsAllButPasses) {
    const auto conf = std::make_shared<AudConf>();
    AudResult result(std::nullopt, conf, context,
                     {record(AudRuleId::touchTargetSize, AudStatus::fail, root, "Too small."),
                      record(AudRuleId::activeControlName, AudStatus::pass, root),
                      record(AudRuleId::touchTargetSize, AudStatus::pass, root),
                      record(AudRuleId::activeControlName, AudStatus::ignored, root)});
    EXPECT_EQ(result.scanName, "Sign In");
    EXPECT_EQ(result.failures().size(), 1U);
    EXPECT_EQ(result.passes().size(), 2U);
    EXPECT_TRUE(result.incompletes().empty());
    const std::string expected =
        "Zunik Aud Result (Failures: 1 Passes: 2 Incompletes: 0)\n\n"
        "ActiveControlName (0 failures 1 passes 0 incompletes): CRITICAL - " +
        std::string(catalogueEntry(AudRuleId::activeControlName).summary) +
        "\n\n"
        "IGNORED, View Id: " +
        root.audViewId +
        "\n\tisVisibleToUser : true\n\tclassName : UIApplication\n"
        "\tlabel : Shop\n\n"
        "TouchTargetSize (1 failures 1 passes 0 incompletes): MODERATE - " +
        std::string(catalogueEntry(AudRuleId::touchTargetSize).summary) +
        "\n\n"
        "FAIL, View Id: " +
        root.audViewId +
        "\n\tmessage : Too small.\n\tisVisibleToUser : true\n\tclassName : UIApplication\n"
        "\tlabel : Shop\n\n";
    EXPECT_EQ(result.description(), expected);
}

TEST_F(ResultTest, AnUntitledScanHasNoName) {
    context->audMetaData.screenTitle = noScreenTitle;
    const AudResult untitled(std::nullopt, std::make_shared<AudConf>(), context, {});
    EXPECT_FALSE(untitled.scanName.has_value());
    EXPECT_FALSE(nlohmann::json::parse(resultToJson(untitled).dump()).contains("scanName"));
}

TEST_F(ResultTest, OnlyIgnoredResultsStillListTheirBlocks) {
    AudResult result(std::nullopt, std::make_shared<AudConf>(), context,
                     {record(AudRuleId::screenTitle, AudStatus::ignored, root)});
    EXPECT_TRUE(result.description().starts_with(
        "Zunik Aud Result (Failures: 0 Passes: 0 Incompletes: 0)\n\nScreenTitle (0 failures 0 passes 0 incompletes)"));
}

TEST_F(ResultTest, DocumentRoundTripsAndKeepsItsMemberOrder) {
    AudResult result(std::nullopt, std::make_shared<AudConf>(), context,
                     {record(AudRuleId::labelInName, AudStatus::fail, *root.children.at(0), "Name lacks the label.")});
    result.tags = std::vector<std::string>{"smoke", "login"};
    const auto written = resultToJson(result);
    std::vector<std::string> members;
    for (const auto& [key, value] : written.items()) members.push_back(key);
    EXPECT_EQ(members, (std::vector<std::string>{"scanName", "tags", "audConf", "audContext", "audRuleResults"}));
    EXPECT_EQ(written.at("audRuleResults")[0].at("impact"), 2);

    auto withoutScreenshot = [](Json document) {
        document["audContext"].erase("screenshot");  // re-encoded JPEG
        return document;
    };
    const auto read = resultFromJson(written);
    EXPECT_EQ(withoutScreenshot(resultToJson(*read)).dump(), withoutScreenshot(written).dump());

    // Member order must not matter to a reader: the same document with every
    // object's members sorted reads to the same content.
    const auto sorted = nlohmann::json::parse(written.dump());
    const auto readSorted = resultFromJson(Json::parse(sorted.dump()));
    EXPECT_EQ(nlohmann::json::parse(withoutScreenshot(resultToJson(*readSorted)).dump()),
              nlohmann::json::parse(withoutScreenshot(written).dump()));
    EXPECT_EQ(read->tags, result.tags);

    result.scanName.reset();
    result.tags.reset();
    EXPECT_EQ(resultToJson(result).begin().key(), "audConf");

    // A number where an integer belongs is refused by name; converting it
    // would be undefined behaviour.
    for (const char* number : {"1e300", "-1e300", "2.5", "18446744073709551615"}) {
        auto broken = written;
        broken["audRuleResults"][0]["impact"] = Json::parse(number);
        EXPECT_EQ(test::errorOf([&] { (void)resultFromJson(broken); }).substr(0, 42),
                  "member \"impact\" must be an integer, found ")
            << number;
    }
    Json point = Json{{"x", 1e300}, {"y", 2}};
    EXPECT_ANY_THROW((void)point.get<AudPoint>());
}

TEST_F(ResultTest, LabelsWithControlCharactersAndBrokenUtf8StayValidJson) {
    auto props = std::make_shared<AudProps>();
    props->add("label", std::string("Line\n\t\"quoted\"\x01 and \xff\xfe bytes"));
    AudResult result(std::nullopt, std::make_shared<AudConf>(), context,
                     {std::make_shared<AudRuleResult>(AudStatus::fail, std::nullopt, *makeRule(AudRuleId::labelInName),
                                                      root, props)});
    const auto text = resultDocument(result);
    const auto parsed = nlohmann::json::parse(text);
    EXPECT_EQ(parsed["audRuleResults"][0]["props"]["label"],
              "Line\n\t\"quoted\"\x01 and \xEF\xBF\xBD\xEF\xBF\xBD bytes");
}

TEST(AudRuleResultJson, ReadingDefaultsAndTheAllThreeFallback) {
    auto json =
        Json::parse(R"({"status":"FAIL","ruleId":"Mine","impact":7,"ruleSummary":"s","props":{},"audViewId":"1",)"
                    R"("standard":"WCAG 2.1"})");
    const auto bad = ruleResultFromJson(json);
    EXPECT_EQ(bad->status, AudStatus::incomplete);
    EXPECT_EQ(bad->impact, AudImpact::critical);
    EXPECT_EQ(bad->standard, AudStandard::bestPractice);
    EXPECT_FALSE(bad->audRuleId().has_value());

    json["impact"] = 1;
    json.erase("standard");
    json["isVisibleToUser"] = "yes";
    const auto good = ruleResultFromJson(json);
    EXPECT_EQ(good->status, AudStatus::fail);
    EXPECT_EQ(good->impact, AudImpact::moderate);
    EXPECT_EQ(good->standard, AudStandard::bestPractice);
    EXPECT_TRUE(good->isVisibleToUser);
    EXPECT_FALSE(good->experimental);
    json.erase("props");
    EXPECT_THROW((void)ruleResultFromJson(json), nlohmann::json::exception);
}

TEST(AudKitResultKey, DescriptionAndFabTitle) {
    const AudKitResultKey key{"com.example shop/app", "user-1", "r42"};
    EXPECT_EQ(key.description(), "user-1/com.example%20shop/app/r42");
    EXPECT_EQ(AudKitResultKey::fromFabTitle("u/com.example.app/r1"), (AudKitResultKey{"com.example.app", "u", "r1"}));
    EXPECT_EQ(AudKitResultKey::fromFabTitle("u//com.example.app/r1/"), (AudKitResultKey{"com.example.app", "u", "r1"}));
    EXPECT_FALSE(AudKitResultKey::fromFabTitle("/u/r1").has_value());
    EXPECT_FALSE(AudKitResultKey::fromFabTitle("a/b/c/d").has_value());
    EXPECT_EQ(resultKeyFromJson(resultKeyToJson(key)), key);
    EXPECT_THROW((void)resultKeyFromJson(Json::parse(R"({"userId":"u","resultId":"r"})")), nlohmann::json::exception);
}

}  // namespace
}  // namespace audkit
