#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "audkit/facade/aud_kit.hpp"
#include "audkit/network/telemetry.hpp"
#include "audkit/offline/scan_bundle.hpp"
#include "audkit/tree/aud_view.hpp"
#include "tests/support/results_backend.hpp"
#include "tests/support/test_support.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

// Telemetry switched on and pointed at a local backend, so a request the
// offline entry should never make would be seen.
class OfflineScan : public ::testing::Test {
protected:
    void SetUp() override {
        ::unsetenv("DO_NOT_TRACK");
        setTelemetryAddresses({backend.address() + "/analytics", backend.address() + "/usage"});
    }
    void TearDown() override {
        setTelemetryAddresses({});
        ::setenv("DO_NOT_TRACK", "1", 1);
    }

    test::LogCapture log;
    test::ResultsBackend backend;
};

std::multiset<std::string> failingRules(const AudResult& result) {
    std::multiset<std::string> rules;
    for (const auto& failure : result.failures()) rules.insert(failure->ruleId);
    return rules;
}

// The offline entry judges a bundle as the command line does, and nothing it
// does reaches the network: not the backend, not telemetry.
TEST_F(OfflineScan, JudgesLikeTheScannerWithoutAnyRequest) {
    const auto bundle = test::sourceDir() / "examples" / "sign-in";
    const auto result = scanBundle(bundle);
    ASSERT_FALSE(whyNothingWasExamined(*result));
    ASSERT_FALSE(result->failures().empty());

    cli::ScanOptions options;
    options.bundles = {bundle.string()};
    options.format = "json";
    std::ostringstream out, err;
    ASSERT_EQ(cli::runScan(options, {}, out, err), 1) << err.str();
    std::multiset<std::string> scanner;
    const auto document = nlohmann::json::parse(out.str());
    for (const auto& ruleResult : document["audRuleResults"])
        if (ruleResult["status"] == "FAIL") scanner.insert(ruleResult["ruleId"].get<std::string>());
    EXPECT_EQ(failingRules(*result), scanner);

    auto kit = AudKit::offline();
    EXPECT_TRUE(kit->isOffline());
    const test::TempDir folder;
    const auto first = kit->saveResultInFolder(*result, folder.path().string(), "sign-in");
    const auto second = kit->saveResultInFolder(*result, folder.path().string(), "sign-in");
    EXPECT_EQ(std::filesystem::path(first).filename(), "sign-in.json");
    EXPECT_EQ(std::filesystem::path(second).filename(), "sign-in-1.json");
    EXPECT_EQ(nlohmann::json::parse(test::readFile(first))["audRuleResults"].size(), result->audRuleResults.size());
    EXPECT_TRUE(backend.requests().empty());
}

// What needs the backend says so on an offline instance, sends nothing and
// leaves the result as it was.
TEST_F(OfflineScan, BackendCallsSayThereIsNoLogin) {
    auto kit = AudKit::offline();
    const auto result = scanBundle(test::sourceDir() / "examples" / "sign-in");
    const AudKitResultKey key{"com.example.shop", "u1", "r1"};
    const auto scanName = result->scanName;
    const std::vector<std::function<void()>> calls{
        [&] { kit->postResult(*result, {"nightly"}, "Sign in"); },
        [&] { kit->getResult(key); },
        [&] { kit->tagResult(key, {"nightly"}); },
        [&] { kit->deleteResult(key); },
        [&] { kit->updateScanName(key, "Sign in"); },
        [&] { kit->client(); },
    };
    for (const auto& call : calls) {
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const AudKitError& error) {
            EXPECT_EQ(error.errorCase(), AudKitError::Case::notLoggedIn);
        }
    }
    EXPECT_EQ(result->scanName, scanName);
    EXPECT_FALSE(result->tags.has_value());
    EXPECT_TRUE(backend.requests().empty());
}

// Counts its calls and finds nothing.
class CountingRecognizer : public TextRecognizer {
public:
    std::vector<TextObservation> recognize(const RgbaImage&) override {
        ++calls;
        return {};
    }
    int calls = 0;
};

TEST_F(OfflineScan, UsesTheGivenConfigurationAndRecognizer) {
    BundleScanOptions options;
    options.configuration = std::make_shared<AudConf>();
    options.configuration->ignore(std::string("TouchTargetSize"), true);
    const auto recognizer = std::make_shared<CountingRecognizer>();
    options.textRecognizer = recognizer;
    const auto result = scanBundle(test::sourceDir() / "examples" / "sign-in", options);
    EXPECT_GE(recognizer->calls, 1);
    for (const auto& ruleResult : result->audRuleResults) EXPECT_NE(ruleResult->ruleId, "TouchTargetSize");
    EXPECT_FALSE(failingRules(*result).contains("ColorContrast"));  // no text found, so no text judged
}

TEST_F(OfflineScan, NamesWhatIsWrongWithTheBundle) {
    const test::TempDir empty;
    EXPECT_NE(test::errorOf([&] { scanBundle(empty.path() / "missing"); }).find("missing"), std::string::npos);

    // Nothing of this capture can be placed on the screen: nothing was examined.
    test::BundleBuilder builder;
    auto& app = builder.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844)));
    app["XC_kAXXCAttributeFrame"] = "NaN";
    app["XC_kAXXCAttributeVisibleFrame"] = "NaN";
    builder.write(empty.path());
    EXPECT_TRUE(whyNothingWasExamined(*scanBundle(empty.path())));
}

}  // namespace
}  // namespace audkit
