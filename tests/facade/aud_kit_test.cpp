#include <gtest/gtest.h>

#include <cstdlib>
#include <httplib.h>
#include <nlohmann/json.hpp>
#include <thread>

#include "audkit/facade/aud_kit.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/curl_transport.hpp"
#include "tests/support/local_server.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

// The results backend on 127.0.0.1, as much of it as a facade session uses.
class Backend : public test::LocalServer {
public:
    Backend() {
        server.Get("/attest/user", [this](const httplib::Request& request, httplib::Response& reply) {
            targets.push_back("GET /attest/user");
            if (request.get_header_value("X-Api-Key") != "good-key") {
                reply.status = 401;
                reply.set_content(R"({"message":"unknown key","error":"Unauthorized"})", "application/json");
                return;
            }
            reply.set_content(R"({"userId":"u1","email":"ann@example.com"})", "application/json");
        });
        server.Post("/attest/result/aud", [this](const httplib::Request& request, httplib::Response& reply) {
            targets.push_back("POST /attest/result/aud");
            posted = request.body;
            reply.set_content(R"({"packageName":"com.example.shop","userId":"u1","resultId":"r1"})",
                              "application/json");
        });
        start();
    }

    std::vector<std::string> targets;
    std::string posted;
};

// Answers with nothing: these scans need no text from the screenshot.
class NoText : public TextRecognizer {
public:
    std::vector<TextObservation> recognize(const RgbaImage&) override { return {}; }
};

class AudKitTest : public ::testing::Test {
protected:
    // Telemetry would go to the real analytics host: tests keep it off.
    void SetUp() override { ::setenv("DO_NOT_TRACK", "1", 1); }
    void TearDown() override {
        ::unsetenv("SIMULATOR_HOST_HOME");
        ::unsetenv("DO_NOT_TRACK");
    }

    std::unique_ptr<AudKit> login() {
        auto kit = AudKit::loginWithAPIKey(std::make_shared<CurlTransport>(), "good-key", backend.address());
        kit->setTextRecognizer(std::make_shared<NoText>());
        return kit;
    }
    std::shared_ptr<AudResult> scan(AudKit& kit) {
        BundlePlatform platform(CaptureBundle::open(test::sourceDir() / "examples" / "sign-in"));
        return kit.runOnBundleIdentifier(platform, "com.example.shop");
    }

    test::LogCapture log;
    test::TempDir home;
    Backend backend;
};

TEST_F(AudKitTest, NoFacadeWithoutValidCredentials) {
    try {
        AudKit::loginWithAPIKey(std::make_shared<CurlTransport>(), "bad-key", backend.address());
        FAIL();
    } catch (const AudClientError& error) {
        EXPECT_EQ(error.errorCase(), AudClientError::Case::couldNotVerifyUser);
    }
    for (const auto& line : log.lines()) EXPECT_EQ(line.find("bad-key"), std::string::npos) << line;
}

TEST_F(AudKitTest, ScansAndSavesWithoutOverwriting) {
    auto kit = login();
    EXPECT_EQ(kit->analytics(), nullptr);  // DO_NOT_TRACK
    EXPECT_EQ(kit->usageService(), nullptr);
    EXPECT_EQ(kit->client().analyticsUserId, "u1");  // the verified user, for when telemetry is on
    auto result = scan(*kit);
    EXPECT_EQ(kit->configuration()->bundleId, "com.example.shop");
    EXPECT_FALSE(result->failures().empty());
    // No configuration is the default one, never a crash in the next scan.
    kit->setConfiguration(nullptr);
    ASSERT_NE(kit->configuration(), nullptr);
    EXPECT_FALSE(scan(*kit)->failures().empty());

    EXPECT_THROW(kit->saveResult(*result, "~/scans", ""), AudKitError);
    ::setenv("SIMULATOR_HOST_HOME", home.path().c_str(), 1);
    const auto first = kit->saveResult(*result, "~/scans", "");
    const auto second = kit->saveResult(*result, "~/scans", "");
    EXPECT_EQ(first, (home.path() / "scans" / "com.example.shop.Shop-Sign In.json").string());
    EXPECT_EQ(second, (home.path() / "scans" / "com.example.shop.Shop-Sign In-1.json").string());

    const auto named = kit->saveResult(*result, "scans", "", "Login/Checkout");
    EXPECT_EQ(named, (home.path() / "scans" / "com.example.shop.Shop-Login-Checkout.json").string());
    const auto saved = nlohmann::json::parse(test::readFile(named));
    EXPECT_EQ(saved["audContext"]["audMetaData"]["screenTitle"], "Login/Checkout");
    EXPECT_FALSE(result->audContext->audMetaData.customScanName.has_value());
}

TEST_F(AudKitTest, PostingWithoutNameOrTagsOnlyPosts) {
    auto kit = login();
    auto result = scan(*kit);
    result->scanName = "Earlier";
    backend.targets.clear();
    const auto key = kit->postResult(*result, {}, "  ");
    EXPECT_EQ(key.description(), "u1/com.example.shop/r1");
    EXPECT_EQ(backend.targets, std::vector<std::string>{"POST /attest/result/aud"});
    EXPECT_EQ(result->scanName, "  ");

    kit->postResult(*result, {});
    EXPECT_FALSE(result->scanName.has_value());
    EXPECT_FALSE(nlohmann::json::parse(backend.posted).contains("scanName"));
}

}  // namespace
}  // namespace audkit
