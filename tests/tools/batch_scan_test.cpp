#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "tests/support/test_support.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// What a result says, without its random view ids: (rule, status, class, label) counted.
std::map<std::string, int> verdicts(const json& result) {
    std::map<std::string, int> counted;
    for (const auto& ruleResult : result["audRuleResults"])
        ++counted[ruleResult["ruleId"].get<std::string>() + " " + ruleResult["status"].get<std::string>() + " " +
                  ruleResult["props"].value("className", "")];
    return counted;
}

// A folder of bundles scanned on two threads judges every screen exactly as
// scanning it alone does: scans in parallel share no state.
TEST(BatchScan, ParallelScansJudgeAsSingleScans) {
    test::LogCapture log;
    cli::ScanOptions batch;
    batch.bundles = {(test::sourceDir() / "examples").string()};
    batch.format = "json";
    batch.jobs = 2;
    std::ostringstream out, err;
    ASSERT_EQ(cli::runScan(batch, {}, out, err), 1) << err.str();
    const auto documents = json::parse(out.str());
    std::set<std::string> scanned;
    for (const auto& entry : documents) {
        const auto bundle = entry["bundle"].get<std::string>();
        scanned.insert(fs::path(bundle).filename().string());
        ASSERT_TRUE(entry.contains("result")) << bundle << ": " << entry.value("error", "");
        cli::ScanOptions single;
        single.bundles = {bundle};
        single.format = "json";
        std::ostringstream alone, reason;
        ASSERT_NE(cli::runScan(single, {}, alone, reason), 2) << reason.str();
        EXPECT_EQ(verdicts(entry["result"]), verdicts(json::parse(alone.str()))) << bundle;
    }
    EXPECT_TRUE(scanned.contains("sign-in"));
    EXPECT_FALSE(scanned.contains("consumer"));  // a folder without capture.json is no bundle
    // Progress: one line per screen on standard error.
    const auto progress = err.str();
    EXPECT_EQ(static_cast<std::size_t>(std::count(progress.begin(), progress.end(), '\n')), scanned.size())
        << progress;
}

// A broken bundle is reported and makes the exit status 2; the others are
// still scanned and reported, in the text summary, JUnit and HTML.
TEST(BatchScan, ABrokenBundleStopsNothingElse) {
    test::LogCapture log;
    test::TempDir dir;
    fs::create_directories(dir.path() / "broken");
    std::ofstream(dir.path() / "broken" / "capture.json") << "{\"format\": \"audkit-capture\"";
    cli::ScanOptions batch;
    batch.bundles = {(test::sourceDir() / "examples" / "sign-in").string(), (dir.path() / "broken").string(),
                     (test::sourceDir() / "examples" / "untitled").string()};
    batch.junit = (dir.path() / "report.xml").string();
    batch.html = (dir.path() / "report.html").string();
    std::ostringstream out, err;
    EXPECT_EQ(cli::runScan(batch, {}, out, err), 2);
    const auto text = out.str();
    EXPECT_NE(text.find(batch.bundles[0] + ": 9 failures"), std::string::npos) << text;
    EXPECT_NE(text.find(batch.bundles[1] + ": not scanned: "), std::string::npos) << text;
    EXPECT_NE(text.find(batch.bundles[2] + ": 3 failures"), std::string::npos) << text;
    EXPECT_NE(text.find("ERROR\n"), std::string::npos) << text;
    const auto junit = test::readFile(batch.junit);
    EXPECT_NE(junit.find("classname=\"" + batch.bundles[0] + "\""), std::string::npos);
    EXPECT_NE(junit.find("classname=\"" + batch.bundles[2] + "\""), std::string::npos);
    const auto html = test::readFile(batch.html);
    EXPECT_NE(html.find("2 screens"), std::string::npos);

    batch.junit.clear(), batch.html.clear();
    batch.annotate = (dir.path() / "a.png").string();
    std::ostringstream none, reason;
    EXPECT_EQ(cli::runScan(batch, {}, none, reason), 2);
    EXPECT_NE(reason.str().find("take one bundle"), std::string::npos) << reason.str();
}

}  // namespace
}  // namespace audkit
