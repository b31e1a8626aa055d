#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/support/test_support.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

using Run = test::CommandRun;

Run scanWith(const fs::path& bundle, const fs::path& baseline, const std::string& junit = "") {
    cli::ScanOptions options;
    options.bundles = {bundle.string()};
    options.baseline = baseline.string();
    options.junit = junit;
    std::ostringstream out, err;
    const int status = cli::runScan(options, {}, out, err);
    return {status, out.str(), err.str()};
}

Run record(const std::vector<std::string>& bundles, const fs::path& output) {
    cli::BaselineOptions options;
    options.bundles = bundles;
    options.output = output.string();
    std::ostringstream out, err;
    const int status = cli::runBaseline(options, out, err);
    return {status, out.str(), err.str()};
}

// A copy of the sign-in example whose capture the edit changes.
fs::path editedCopy(const fs::path& folder, const std::function<void(json&)>& edit) {
    const auto copy = folder / "sign-in";
    fs::copy(test::sourceDir() / "examples" / "sign-in", copy);
    auto capture = json::parse(test::readFile(copy / "capture.json"));
    edit(capture);
    std::ofstream(copy / "capture.json") << capture.dump();
    return copy;
}

// Today's findings recorded, the same screen captured again with other
// element ids and the window's parts (status bar, navigation bar, content)
// listed in reverse order: every finding is known and the scan passes. Keys
// never use the random view ids or the order of views.
TEST(Baseline, KnownFindingsSurviveANewCaptureInAnotherOrder) {
    test::LogCapture log;
    test::TempDir dir;
    const auto baseline = dir.path() / "baseline.json";
    const auto recorded = record({(test::sourceDir() / "examples" / "sign-in").string()}, baseline);
    ASSERT_EQ(recorded.status, 0) << recorded.err;
    EXPECT_NE(recorded.out.find("10 findings of 1 screen recorded"), std::string::npos) << recorded.out;

    const auto reordered = editedCopy(dir.path(), [](json& capture) {
        json renamed = json::object();
        for (auto& [id, record] : capture["elements"].items()) {
            auto& children = record["attributes"]["XC_kAXXCAttributeChildren"];
            if (children.is_array()) {
                for (auto& child : children) child = "other-" + child.get<std::string>();
                if (record["attributes"].value("XC_kAXXCAttributeElementType", "") == "UIWindow")
                    std::reverse(children.begin(), children.end());
            }
            renamed["other-" + id] = record;
        }
        capture["elements"] = renamed;
        capture["root"] = "other-" + capture["root"].get<std::string>();
    });
    const auto run = scanWith(reordered, baseline, (dir.path() / "report.xml").string());
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("10 findings known from the baseline, 0 new"), std::string::npos) << run.out;
    const auto junit = test::readFile(dir.path() / "report.xml");
    EXPECT_EQ(junit.find("<failure"), std::string::npos);
    EXPECT_NE(junit.find("known from the baseline"), std::string::npos);
    // The mark is a property among the case's properties, where readers look.
    EXPECT_NE(junit.find("<property name=\"baseline\" value=\"known\"/>\n      </properties>"), std::string::npos);
}

// A finding the baseline does not hold is new: it fails the scan and is shown
// apart from the known ones.
TEST(Baseline, ANewFindingFails) {
    test::LogCapture log;
    test::TempDir dir;
    const auto baseline = dir.path() / "baseline.json";
    ASSERT_EQ(record({(test::sourceDir() / "examples" / "sign-in").string()}, baseline).status, 0);
    const auto smaller = editedCopy(dir.path(), [](json& capture) {
        for (auto& [id, record] : capture["elements"].items()) {
            auto& attributes = record["attributes"];
            if (attributes.value("XC_kAXXCAttributeLabel", "") != "Sign in" ||
                attributes.value("XC_kAXXCAttributeElementType", "") != "UIButton")
                continue;
            attributes["XC_kAXXCAttributeFrame"]["Height"] = 30;
            attributes["XC_kAXXCAttributeVisibleFrame"]["Height"] = 30;
        }
    });
    const auto run = scanWith(smaller, baseline);
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find("10 findings known from the baseline, 1 new"), std::string::npos) << run.out;
    const auto header = run.out.find("FAIL TouchTargetSize (MODERATE) new\n   UIButton \"Sign in\"");
    EXPECT_NE(header, std::string::npos) << run.out;
}

TEST(Baseline, BrokenFilesAndBundlesAreNamed) {
    test::LogCapture log;
    test::TempDir dir;
    const auto example = test::sourceDir() / "examples" / "sign-in";
    const std::vector<std::pair<std::string, std::string>> files{
        {"[]", "not an audkit baseline"},
        {R"({"format": "audkit-baseline", "version": 1, "findings": [{"screen": "a", "rule": 3}]})",
         "findings[0] needs the text member \"rule\""},
        {"{\"format\"", "not a JSON document"},
    };
    for (const auto& [text, expected] : files) {
        std::ofstream(dir.path() / "bad.json") << text;
        const auto run = scanWith(example, dir.path() / "bad.json");
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
    }
    // A screen that cannot be scanned leaves no baseline behind.
    const auto run = record({example.string(), (dir.path() / "missing").string()}, dir.path() / "new.json");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("could not be scanned"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir.path() / "new.json"));
}

}  // namespace
}  // namespace audkit
