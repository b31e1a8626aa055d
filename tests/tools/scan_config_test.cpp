#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/support/test_support.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

using nlohmann::json;

const std::string example = (test::sourceDir() / "examples" / "sign-in").string();

struct Run {
    int status;
    json result;
    std::string out;
    std::string err;
};

Run scanWith(const std::string& config, const std::string& failOn = "", const std::string& format = "json") {
    test::TempDir dir;
    std::ofstream(dir.path() / "audkit.json") << config;
    cli::ScanOptions options;
    options.bundles = {example};
    options.format = format;
    options.failOn = failOn;
    options.config = (dir.path() / "audkit.json").string();
    std::ostringstream out, err;
    const int status = cli::runScan(options, {}, out, err);
    json result;
    if (format == "json" && status != 2) result = json::parse(out.str());
    return {status, result, out.str(), err.str()};
}

// The status of a rule's result for the view with this class name and label.
std::string statusOf(const json& result, const std::string& rule, const std::string& label) {
    for (const auto& ruleResult : result["audRuleResults"])
        if (ruleResult["ruleId"] == rule && ruleResult["props"].dump().find(label) != std::string::npos)
            return ruleResult["status"];
    return "none";
}

// Ignores by label, type and screen mark the matching results IGNORED, on
// that screen only; the others stay as they were.
TEST(ScanConfig, IgnoresMatchViewsOnTheirScreen) {
    test::LogCapture log;
    const auto plain = scanWith("{}");
    ASSERT_EQ(statusOf(plain.result, "ColorContrast", "Forgot password?"), "FAIL");

    const auto ignored = scanWith(R"({"ignoreViews": [
        {"rules": ["ColorContrast"], "label": "Forgot password?", "screen": "sign-in"},
        {"rules": ["ActiveControlName"], "type": "button", "identifier": "helpButton"}]})");
    EXPECT_EQ(statusOf(ignored.result, "ColorContrast", "Forgot password?"), "IGNORED");
    EXPECT_EQ(statusOf(ignored.result, "ColorContrast", "New here?"), "FAIL");
    std::size_t activeNameFailures = 0, activeNameIgnored = 0;
    for (const auto& ruleResult : ignored.result["audRuleResults"]) {
        if (ruleResult["ruleId"] != "ActiveControlName") continue;
        activeNameFailures += ruleResult["status"] == "FAIL";
        activeNameIgnored += ruleResult["status"] == "IGNORED";
    }
    EXPECT_EQ(activeNameFailures, 0U);
    EXPECT_EQ(activeNameIgnored, 1U);

    const auto elsewhere = scanWith(
        R"({"ignoreViews": [{"rules": ["ColorContrast"], "label": "Forgot password?", "screen": "cart"}]})");
    EXPECT_EQ(statusOf(elsewhere.result, "ColorContrast", "Forgot password?"), "FAIL");

    // The file and --ignore-view go through one mechanism: the same IGNORED record.
    const auto byFile = scanWith(R"({"ignoreViews": [{"rules": ["ActiveControlName"], "identifier": "helpButton"}]})");
    cli::ScanOptions options;
    options.bundles = {example};
    options.format = "json";
    options.ignoreViews = {"helpButton=ActiveControlName"};
    std::ostringstream out, err;
    ASSERT_NE(cli::runScan(options, {}, out, err), 2) << err.str();
    auto ignoredRecord = [](const json& result) {
        for (const auto& ruleResult : result["audRuleResults"])
            if (ruleResult["status"] == "IGNORED") {
                auto record = ruleResult;
                record.erase("audViewId");  // a view id is new in every scan
                return record;
            }
        return json();
    };
    EXPECT_FALSE(ignoredRecord(byFile.result).is_null());
    EXPECT_EQ(ignoredRecord(byFile.result), ignoredRecord(json::parse(out.str())));
}

// The gate and impacts: the file's gate holds unless the command line gives
// one; an impact set in the file is the one reported.
TEST(ScanConfig, GateAndImpacts) {
    test::LogCapture log;
    const std::string onlyTouchTargets = R"("ignore": ["ActiveControlName", "AssociatedText", "ColorContrast"])";
    EXPECT_EQ(scanWith("{" + onlyTouchTargets + R"(, "failOn": "serious"})").status, 0);
    EXPECT_EQ(scanWith("{" + onlyTouchTargets + R"(, "failOn": "serious"})", "moderate").status, 1);
    const auto raised = scanWith(
        "{" + onlyTouchTargets + R"(, "failOn": "serious", "rules": {"TouchTargetSize": {"impact": "critical"}}})",
        "", "text");
    EXPECT_EQ(raised.status, 1);
    EXPECT_NE(raised.out.find("FAIL TouchTargetSize (CRITICAL)"), std::string::npos) << raised.out;
    // The configured impact is the rule's own in the result document, and
    // stands over the impact ColorContrast measures for each finding.
    const auto document = scanWith(R"({"rules": {"TouchTargetSize": {"impact": "critical"},
                                                 "ColorContrast": {"impact": "minor"}}})");
    EXPECT_EQ(document.result["audConf"]["rules"]["TouchTargetSize"]["impact"], 3);
    std::set<int> touchImpacts, contrastImpacts;
    for (const auto& ruleResult : document.result["audRuleResults"]) {
        if (ruleResult["ruleId"] == "TouchTargetSize") touchImpacts.insert(ruleResult["impact"].get<int>());
        if (ruleResult["ruleId"] == "ColorContrast") contrastImpacts.insert(ruleResult["impact"].get<int>());
    }
    EXPECT_EQ(touchImpacts, std::set<int>{3});
    EXPECT_EQ(contrastImpacts, std::set<int>{0});
}

TEST(ScanConfig, MistakesNameTheKey) {
    test::LogCapture log;
    const std::vector<std::pair<std::string, std::string>> cases{
        {R"({"ignores": []})", "unknown key \"ignores\""},
        {R"({"ignore": ["NoSuchRule"]})", "ignore[0]: unknown rule id \"NoSuchRule\""},
        {R"({"ignoreViews": [{"rules": ["ColorContrast"], "lable": "x"}]})", "ignoreViews[0]: unknown key \"lable\""},
        {R"({"ignoreViews": [{"label": "x"}]})", "ignoreViews[0]: needs \"rules\""},
        {R"({"ignoreViews": [{"rules": ["ColorContrast"], "type": "knob"}]})", "ignoreViews[0].type: unknown element type \"knob\""},
        {R"({"failOn": "severe"})", "failOn: must be minor, moderate, serious or critical"},
        {R"({"rules": {"TouchTargetSize": {"minimum": 40}}})", "rules.TouchTargetSize: unknown key \"minimum\""},
        {R"({"rules": {"Bogus": {}}})", "rules: unknown rule id \"Bogus\""},
        {"[1, 2", "not a JSON document"},
        {R"({"ignore": ["ColorContrast"], "ignore": []})", "the key \"ignore\" appears twice in one object"},
    };
    for (const auto& [config, expected] : cases) {
        const auto run = scanWith(config);
        EXPECT_EQ(run.status, 2) << config;
        EXPECT_NE(run.err.find("audkit.json: " + expected), std::string::npos)
            << config << " -> " << run.err;
    }
}

}  // namespace
}  // namespace audkit
