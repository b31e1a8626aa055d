#include <gtest/gtest.h>

#include <cstdlib>
#include <httplib.h>
#include <nlohmann/json.hpp>
#include <thread>

#include "audkit/facade/aud_kit.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/curl_transport.hpp"
#include "tests/support/results_backend.hpp"
#include "tests/support/test_support.hpp"
#include "tests/support/tls_server.hpp"

namespace audkit {
namespace {

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
        auto kit = AudKit::loginWithAPIKey(std::make_shared<CurlTransport>(), "key-1", backend.address());
        kit->setTextRecognizer(std::make_shared<NoText>());
        return kit;
    }
    std::shared_ptr<AudResult> scan(AudKit& kit) {
        BundlePlatform platform(CaptureBundle::open(test::sourceDir() / "examples" / "sign-in"));
        return kit.runOnBundleIdentifier(platform, "com.example.shop");
    }

    test::LogCapture log;
    test::TempDir home;
    test::ResultsBackend backend;
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
    const auto before = backend.requests().size();
    const auto key = kit->postResult(*result, {}, "  ");
    EXPECT_EQ(key.description(), "u1/com.example.shop/r1");
    const auto requests = backend.requests();
    EXPECT_EQ(std::vector(requests.begin() + static_cast<long>(before), requests.end()),
              std::vector<std::string>{"POST /attest/result/aud"});
    EXPECT_EQ(result->scanName, "  ");

    kit->postResult(*result, {});
    EXPECT_FALSE(result->scanName.has_value());
    EXPECT_FALSE(nlohmann::json::parse(backend.posted).contains("scanName"));
}

// Telemetry pointed at the local backend, switched on for one test.
class Telemetry {
public:
    explicit Telemetry(const test::ResultsBackend& backend) {
        ::unsetenv("DO_NOT_TRACK");
        setTelemetryAddresses({backend.address() + "/analytics", backend.address() + "/usage"});
    }
    ~Telemetry() {
        setTelemetryAddresses({});
        ::setenv("DO_NOT_TRACK", "1", 1);
    }
};

TEST_F(AudKitTest, PasswordLoginAsksTheBackendForItsAuthenticationServer) {
    Telemetry telemetry(backend);
    auto kit = AudKit::login(std::make_shared<CurlTransport>(), "ann@example.com", "secret", backend.address());
    EXPECT_EQ(backend.requests(),
              (std::vector<std::string>{"GET /auth-url", "POST /auth/realms/shop/protocol/openid-connect/token",
                                        "GET /attest/user", "POST /analytics"}));
    EXPECT_EQ(kit->client().user()->email, "ann@example.com");
    EXPECT_EQ(backend.eventTypes(), std::vector<std::string>{"login:username"});
    EXPECT_EQ(backend.events[0]["events"][0]["user_id"], "u1");
    EXPECT_EQ(kit->usageService(), nullptr);  // no organisation

    EXPECT_ANY_THROW(AudKit::login(std::make_shared<CurlTransport>(), "ann@example.com", "wrong", backend.address()));
    for (const auto& line : log.lines()) EXPECT_EQ(line.find("wrong"), std::string::npos) << line;
}

TEST_F(AudKitTest, PasswordIsNeverSentFromAnHttpsBackendToAPlainHttpServer) {
    test::TempDir certificates;
    test::TlsServer secure(certificates.path());
    secure.server().Get("/auth-url", [&](const httplib::Request&, httplib::Response& reply) {
        reply.set_content(R"({"url":")" + backend.address() + R"(","realm":"shop"})", "application/json");
    });
    secure.start();
    auto transport = std::make_shared<CurlTransport>(CurlTransport::Settings{secure.certificateFile()});
    const auto error = test::errorOf([&] { AudKit::login(transport, "ann@example.com", "secret", secure.address()); });
    EXPECT_EQ(error, "the backend " + secure.address() + " names the authentication server " + backend.address() +
                         ", which is not https: the password is not sent there");
    EXPECT_TRUE(backend.requests().empty());
}

TEST_F(AudKitTest, OrganisationLoginsRecordUsageAndEveryStepIsTracked) {
    Telemetry telemetry(backend);
    auto transport = std::make_shared<CurlTransport>();
    auto token = std::make_shared<AccessToken>(transport, "ann@example.com", "secret", "shop", "", backend.address());
    auto kit = AudKit::loginWithAccessToken(transport, token, backend.address(), "org-7");
    kit->setTextRecognizer(std::make_shared<NoText>());
    ASSERT_NE(kit->usageService(), nullptr);
    auto result = scan(*kit);
    ASSERT_EQ(backend.usage.size(), 2U);
    EXPECT_EQ(backend.usage[0]["event"], "login");
    EXPECT_EQ(backend.usage[1]["event"], "scan");
    for (const auto& record : backend.usage) {
        EXPECT_EQ(record["organization"], "org-7");
        EXPECT_EQ(record["userId"], "ann@example.com");
    }

    const auto key = kit->postResult(*result, {"nightly", "login"}, "Checkout");
    EXPECT_EQ(backend.renamed, "Checkout");  // answered with 204: the rename happened
    EXPECT_EQ(backend.tagged, R"(["nightly","login"])");
    kit->tagResult(key, {"smoke"});
    backend.renameStatus = 200;  // an empty 200 is a rename that happened too
    kit->updateScanName(key, "Pay");
    EXPECT_EQ(backend.renamed, "Pay");
    EXPECT_EQ(kit->getResult(key)->audContext->audMetaData.appIdentifier,
              result->audContext->audMetaData.appIdentifier);
    kit->deleteResult(key);
    EXPECT_EQ(backend.eventTypes(),
              (std::vector<std::string>{"login:username", "scan:create", "scan:send", "scan:update_name", "scan:tag",
                                        "scan:tag", "scan:update_name", "scan:retrieve", "scan:delete"}));
    // The tags are the user's own words: the event does not carry them.
    for (const auto& body : backend.events) {
        if (body["events"][0]["event_type"] == "scan:tag") {
            EXPECT_EQ(body["events"][0]["event_properties"], nlohmann::json::object());
        }
    }
}

TEST_F(AudKitTest, AStoredResultKeepsItsKeyWhenTaggingItFails) {
    auto kit = login();
    auto result = scan(*kit);
    backend.tagStatus = 500;
    try {
        kit->postResult(*result, {"nightly"});
        FAIL();
    } catch (const PostFollowUpError& error) {
        EXPECT_EQ(error.key().description(), "u1/com.example.shop/r1");
        EXPECT_EQ(error.step(), "tagging");
        EXPECT_TRUE(std::string(error.what())
                        .starts_with("The result was posted as u1/com.example.shop/r1, but tagging it failed: "))
            << error.what();
    }
    backend.renameStatus = 500;
    EXPECT_THROW(kit->postResult(*result, {}, "Checkout"), PostFollowUpError);

    // A reply with 200,000 members in one object is read in linear time:
    // looking each name up in its ordered object took minutes.
    const auto posted = kit->getResult(AudKitResultKey{"com.example.shop", "u1", "r1"});
    std::string members = "\"wide\":{";
    for (int member = 0; member < 200'000; ++member)
        members += (member ? ",\"" : "\"") + std::to_string(member) + "\":" + std::to_string(member);
    backend.posted.insert(1, members + "},");
    EXPECT_EQ(kit->getResult(AudKitResultKey{"com.example.shop", "u1", "r1"})->audRuleResults.size(),
              posted->audRuleResults.size());

    // A reply nested 100,000 levels deep is refused as malformed, not copied
    // until the stack runs out.
    backend.posted = std::string(100'000, '[') + std::string(100'000, ']');
    try {
        (void)kit->getResult(AudKitResultKey{"com.example.shop", "u1", "r1"});
        FAIL();
    } catch (const MalformedResultError& error) {
        EXPECT_NE(std::string(error.what()).find("nests deeper than 512 levels"), std::string::npos) << error.what();
    }
    // A reply that is JSON but no result says which result and what is wrong.
    backend.posted = R"({"audRuleResults": 3})";
    try {
        (void)kit->getResult(AudKitResultKey{"com.example.shop", "u1", "r1"});
        FAIL();
    } catch (const MalformedResultError& error) {
        EXPECT_TRUE(std::string(error.what())
                        .starts_with("the server's reply for result u1/com.example.shop/r1 is no "
                                     "result document: "))
            << error.what();
    }
}

}  // namespace
}  // namespace audkit
