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

// A sign-in capture without identifiers or screenshot, edited.
fs::path anonymousCopy(const fs::path& folder, const std::function<void(json&)>& edit) {
    fs::create_directories(folder);
    const auto copy = editedCopy(folder, [&](json& capture) {
        for (auto& [id, record] : capture["elements"].items())
            record["attributes"].erase("XC_kAXXCAttributeIdentifier");
        capture["screenshot"] = nullptr;
        edit(capture);
    });
    fs::remove(copy / "screenshot.png");
    return copy;
}

// Moves every frame of a capture: x and width stretched (a wider device), y shifted.
void moveFrames(json& capture, double stretch, double shift) {
    for (auto& [id, record] : capture["elements"].items())
        for (const char* member : {"XC_kAXXCAttributeFrame", "XC_kAXXCAttributeVisibleFrame"}) {
            auto& frame = record["attributes"][member];
            frame["X"] = frame["X"].get<double>() * stretch;
            frame["Width"] = frame["Width"].get<double>() * stretch;
            frame["Y"] = frame["Y"].get<double>() + shift;
        }
}

// Elements without identifiers are known again by class, label and frame or
// place in the tree: a capture of the same screen whose frames moved 3 pt,
// with one element taken out, keeps the others' findings known and names the
// entry of the one taken out as stale; so does one captured on a wider device.
// An entry's reason is shown; the first version of the file still reads.
TEST(Baseline, ElementsAreKnownAfterAShiftAndOnAnotherDevice) {
    test::LogCapture log;
    test::TempDir dir;
    const auto before = anonymousCopy(dir.path() / "before", [](json&) {});
    const auto baseline = dir.path() / "baseline.json";
    ASSERT_EQ(record({before.string()}, baseline).status, 0);
    auto document = json::parse(test::readFile(baseline));
    ASSERT_EQ(document["findings"].size(), 7U);
    for (auto& entry : document["findings"])
        if (entry["rule"] == "ActiveControlName") entry["reason"] = "close icon, labelled in the next release";
    std::ofstream(baseline) << document.dump();

    const auto shifted = anonymousCopy(dir.path() / "shifted", [](json& capture) {
        moveFrames(capture, 1, 3);
        std::string removed;
        for (auto& [id, record] : capture["elements"].items())
            if (record["attributes"].value("XC_kAXXCAttributeLabel", "") == "Create account") removed = id;
        for (auto& [id, record] : capture["elements"].items()) {
            auto& children = record["attributes"]["XC_kAXXCAttributeChildren"];
            if (children.is_array())
                children.erase(std::remove(children.begin(), children.end(), removed), children.end());
        }
        capture["elements"].erase(removed);
    });
    const auto run = scanWith(shifted, baseline);
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("6 findings known from the baseline, 0 new"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("ActiveControlName (CRITICAL) known (close icon, labelled in the next release)"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.err.find("1 entry matches no finding of the screens scanned any more (fixed, or the element is "
                           "gone); take it out of the baseline:\n  sign-in TouchTargetSize UIButton \"Create account\" "
                           "at 182, 621, 107 x 20 pt\n"),
              std::string::npos)
        << run.err;

    const auto wider = anonymousCopy(dir.path() / "wider", [](json& capture) { moveFrames(capture, 1.1, 0); });
    const auto onWider = scanWith(wider, baseline);
    EXPECT_NE(onWider.out.find("7 findings known from the baseline, 0 new"), std::string::npos) << onWider.out;
    EXPECT_EQ(onWider.err.find("take it out"), std::string::npos) << onWider.err;

    // Version 1: elements keyed by text, frames in whole points.
    std::ofstream(baseline) << R"({"format": "audkit-baseline", "version": 1, "findings": [
        {"screen": "sign-in", "rule": "TouchTargetSize", "element": "UISwitch \"Remember me\" at 323,463 51x31"}]})";
    const auto old = scanWith(before, baseline);
    EXPECT_NE(old.out.find("1 findings known from the baseline, 6 new"), std::string::npos) << old.out;
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
