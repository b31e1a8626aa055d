#include <gtest/gtest.h>

#include <httplib.h>
#include <thread>

#include "audkit/network/api_key.hpp"
#include "audkit/network/aud_client.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/curl_transport.hpp"
#include "audkit/rules/aud_result.hpp"
#include "tests/support/local_server.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

// The results backend on 127.0.0.1: records every request it gets.
class Backend : public test::LocalServer {
public:
    Backend() {
        const std::string key = R"({"packageName":"com.example shop","userId":"u1","resultId":"r9"})";
        server.Get("/attest/user", [this](const httplib::Request& request, httplib::Response& reply) {
            record(request);
            reply.set_content(userReply, "application/json");
        });
        server.Post("/attest/result/aud", [this, key](const httplib::Request& request, httplib::Response& reply) {
            record(request);
            reply.set_content(key, "application/json");
        });
        auto answer = [this, key](const httplib::Request& request, httplib::Response& reply) {
            record(request);
            reply.set_content(keyReply.empty() ? key : keyReply, "application/json");
        };
        server.Get(R"(/attest/result/aud/.*)", answer);
        server.Post(R"(/attest/result/tag/.*)", answer);
        server.Put(R"(/attest/results/summaries/.*)", answer);
        server.Delete(R"(/attest/result/.*)", answer);
        start();
    }
    void record(const httplib::Request& request) {
        targets.push_back(request.method + " " + request.target);
        last = request;
    }

    std::vector<std::string> targets;
    httplib::Request last;
    std::string userReply = R"({"userId":"u1","email":"ann@example.com"})";
    std::string keyReply;
};

class AudClientTest : public ::testing::Test {
protected:
    std::unique_ptr<AudClient> client() {
        return std::make_unique<AudClient>(transport, std::make_shared<APIKey>("key-1"), backend.address(), "org-7");
    }
    test::LogCapture log;
    Backend backend;
    std::shared_ptr<HttpTransport> transport = std::make_shared<CurlTransport>();
    const AudKitResultKey key{"com.example shop", "u1", "r9"};
};

TEST_F(AudClientTest, ChecksTheUserOncePerClient) {
    auto first = client();
    EXPECT_EQ(first->user()->email, "ann@example.com");
    first->verifyUser();
    auto second = client();
    EXPECT_EQ(backend.targets, (std::vector<std::string>{"GET /attest/user", "GET /attest/user"}));
    EXPECT_EQ(backend.last.get_header_value("X-Api-Key"), "key-1");

    backend.userReply = R"({"userId":"u1"})";
    try {
        client();
        FAIL();
    } catch (const AudClientError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Authentication could not be validated. Please check your credentials and try again.");
    }
}

TEST_F(AudClientTest, PostsTheResultDocumentGzipCompressed) {
    BundlePlatform platform(CaptureBundle::open(test::sourceDir() / "examples" / "sign-in"));
    AudResult result(std::nullopt, std::make_shared<AudConf>(), makeContext(platform, *platform.elementUnderTest()),
                     {});
    EXPECT_EQ(client()->postResult(result), key);
    EXPECT_EQ(backend.last.get_header_value("Content-Encoding"), "gzip");
    EXPECT_EQ(backend.last.get_header_value("Content-Type"), "application/json");
    // The server inflates the body itself; the bytes on the wire were fewer.
    const auto wireBytes = std::stoul(backend.last.get_header_value("Content-Length"));
    EXPECT_LT(wireBytes, backend.last.body.size());
    auto document = nlohmann::json::parse(backend.last.body);
    auto expected = nlohmann::json::parse(resultDocument(result));
    EXPECT_EQ(document.at("scanName"), "Sign In");
    document["audContext"].erase("screenshot");
    expected["audContext"].erase("screenshot");
    EXPECT_EQ(document, expected);
}

TEST_F(AudClientTest, ManagesResultsByTheirPercentEncodedKey) {
    auto backendClient = client();
    backend.targets.clear();
    EXPECT_EQ(backendClient->getResult(key), R"({"packageName":"com.example shop","userId":"u1","resultId":"r9"})");
    EXPECT_EQ(backendClient->tagResult(key, {"smoke", "login"}), key);
    EXPECT_EQ(backend.last.body, R"(["smoke","login"])");
    backendClient->updateScanName(key, "  Checkout ");
    EXPECT_EQ(backend.last.body, "  Checkout ");
    EXPECT_EQ(backend.last.get_header_value("Content-Type"), "text/plain; charset=utf-8");
    backendClient->updateScanName(key, "   ");
    EXPECT_EQ(backendClient->deleteResult(key), key);
    EXPECT_EQ(backend.targets, (std::vector<std::string>{"GET /attest/result/aud/u1/com.example%20shop/r9",
                                                         "POST /attest/result/tag/u1/com.example%20shop/r9",
                                                         "PUT /attest/results/summaries/u1/com.example%20shop/r9/name",
                                                         "DELETE /attest/result/u1/com.example%20shop/r9"}));

    // Every part is one path segment: "/", "?", "#" and "%" cannot reach
    // another resource, and a dot part is refused before anything is sent.
    backend.targets.clear();
    backendClient->deleteResult({"shop/../admin", "u1?all#x", "r%2F1"});
    EXPECT_EQ(backend.targets.back(), "DELETE /attest/result/u1%3Fall%23x/shop%2F..%2Fadmin/r%252F1");
    for (const AudKitResultKey& dotted : {AudKitResultKey{"..", "u1", "r1"}, AudKitResultKey{"shop", ".", "r1"},
                                          AudKitResultKey{"shop", "u1", ""}}) {
        EXPECT_THROW(backendClient->deleteResult(dotted), InvalidResultKey);
        EXPECT_THROW(backendClient->tagResult(dotted, {"x"}), InvalidResultKey);
        EXPECT_THROW(backendClient->updateScanName(dotted, "x"), InvalidResultKey);
        EXPECT_THROW(backendClient->getResult(dotted), InvalidResultKey);
    }
    EXPECT_EQ(backend.targets.size(), 1U);

    backend.keyReply = R"({"deleted":true})";
    try {
        backendClient->deleteResult(key);
        FAIL();
    } catch (const AudClientError& error) {
        EXPECT_EQ(std::string(error.what()), "Could not delete scan from server.");
    }
}

}  // namespace
}  // namespace audkit
