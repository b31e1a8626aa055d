#include <gtest/gtest.h>

#include <httplib.h>
#include <thread>

#include "audkit/base/id_and_time_source.hpp"
#include "audkit/base/process_state.hpp"
#include "audkit/network/access_token.hpp"
#include "audkit/network/api_key.hpp"
#include "audkit/network/aud_auth.hpp"
#include "audkit/network/server_errors.hpp"
#include "audkit/platform/curl_transport.hpp"
#include "tests/support/local_server.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

// A token endpoint on 127.0.0.1 that records each form it receives and
// answers with the next scripted reply.
class TokenServer : public test::LocalServer {
public:
    TokenServer() {
        server.Post(R"(/auth/realms/([^/]+)/protocol/openid-connect/token)",
                    [this](const httplib::Request& request, httplib::Response& reply) {
                        paths.push_back(request.path);
                        forms.push_back(request.body);
                        reply.set_content(replies.empty() ? token("a1", "r1") : replies.front(), "application/json");
                        if (!replies.empty()) replies.erase(replies.begin());
                    });
        server.Get("/auth-url", [this](const httplib::Request&, httplib::Response& reply) {
            reply.set_content(authUrlReply, "application/json");
        });
        start();
    }

    static std::string token(const std::string& access, const std::string& refresh, int expiresIn = 300,
                             int refreshExpiresIn = 1800) {
        return R"({"access_token":")" + access + R"(","refresh_token":")" + refresh + R"(","expires_in":)" +
               std::to_string(expiresIn) + R"(,"refresh_expires_in":)" + std::to_string(refreshExpiresIn) +
               R"(,"token_type":"Bearer"})";
    }

    std::vector<std::string> paths, forms, replies;
    std::string authUrlReply = R"({"url":"https://auth.example.com","realm":"shop"})";
};

class AuthenticationTest : public ::testing::Test {
protected:
    void SetUp() override {
        IdAndTimeSource::setClock([this] { return now; });
    }
    void TearDown() override { IdAndTimeSource::setClock(nullptr); }

    static std::string errorOf(const std::function<void()>& call) { return test::errorOf(call); }

    double now = 1'700'000'000.7;
    test::LogCapture log;
    TokenServer server;
    std::shared_ptr<HttpTransport> transport = std::make_shared<CurlTransport>();
};

TEST_F(AuthenticationTest, PasswordGrantWithDefaultsAndFormEncoding) {
    processState().debugStatements = true;
    AccessToken token(transport, "ann@example.com", "p a+ss", "", "", server.address());
    ASSERT_EQ(server.paths.size(), 1U);
    EXPECT_EQ(server.paths[0], "/auth/realms/aud/protocol/openid-connect/token");
    EXPECT_EQ(server.forms[0], "client_id=mobile&grant_type=password&password=p+a%2Bss&username=ann@example.com");
    EXPECT_EQ(token.credentialHeader().value, "Bearer a1");
    EXPECT_EQ(token.lastRefreshTime(), 1'700'000'000);
    EXPECT_TRUE(log.contains("ZUNIK LOG: Attempting to login..."));
    EXPECT_TRUE(log.contains("ZUNIK LOG: Login successful."));
    for (const auto& line : log.lines()) EXPECT_EQ(line.find("p a+ss"), std::string::npos) << line;
}

TEST_F(AuthenticationTest, ExpiredAccessTokenIsRefreshedAndExpiredRefreshTokenLogsInAgain) {
    AccessToken token(transport, "ann", "secret", "shop", "web", server.address());
    now += 300;  // the access token's lifetime has passed exactly: expired
    server.replies = {TokenServer::token("a2", "r2")};
    EXPECT_EQ(token.credentialHeader().value, "Bearer a2");
    EXPECT_EQ(server.forms.back(), "client_id=web&grant_type=refresh_token&refresh_token=r1");

    now += 4000;  // both expired
    server.replies = {TokenServer::token("a3", "r3")};
    EXPECT_EQ(token.credentialHeader().value, "Bearer a3");
    EXPECT_EQ(server.forms.back(), "client_id=web&grant_type=password&password=secret&username=ann");
}

TEST_F(AuthenticationTest, HugeLifetimesNeitherOverflowNorForceNewLogins) {
    server.replies = {R"({"access_token":"a1","refresh_token":"r1","expires_in":9223372036854775807,)"
                      R"("refresh_expires_in":9223372036854775807,"token_type":"Bearer"})"};
    AccessToken token(transport, "ann", "secret", "", "", server.address());
    now += 1e9;
    EXPECT_EQ(token.credentialHeader().value, "Bearer a1");
    EXPECT_EQ(server.forms.size(), 1U);  // still the first login
}

TEST_F(AuthenticationTest, BadRepliesLeaveTheTokensUnchanged) {
    AccessToken token(transport, "ann", "secret", "", "", server.address());
    server.replies = {R"({"access_token":"x","refresh_token":"y","expires_in":1,"token_type":"Bearer"})"};
    EXPECT_EQ(errorOf([&] { token.fetchToken(); }), "Could not find refresh_expires_in in server response.");
    EXPECT_EQ(token.accessToken(), "a1");
    server.replies = {
        R"({"access_token":"x","refresh_token":"y","expires_in":"300","refresh_expires_in":1,"token_type":"B"})"};
    EXPECT_EQ(errorOf([&] { token.fetchToken(); }),
              "expires_in expected to be of type Int. Server returned it as type String.");
    server.replies = {"[1]"};
    EXPECT_EQ(errorOf([&] { token.fetchToken(); }),
              "Could not parse JSON returned by server. Expected Dictionary but received Array");
    EXPECT_EQ(token.refreshToken(), "r1");

    // A renewal that fails is logged and the request goes without credentials.
    now += 10'000;
    server.replies = {"{}"};
    EXPECT_FALSE(token.credentialHeader().value.has_value());
    EXPECT_TRUE(log.contains("ZUNIK ERROR: Could not find access_token in server response."));
}

TEST_F(AuthenticationTest, CredentialsAreCheckedBeforeAnythingIsSent) {
    EXPECT_EQ(errorOf([&] { AccessToken(transport, "", "", "", "", server.address()); }),
              "Could not login. username was empty.");
    EXPECT_EQ(errorOf([&] { AccessToken(transport, "ann", "", "", "", server.address()); }),
              "Could not login. password was empty.");
    EXPECT_TRUE(errorOf([&] {
                    AccessToken(transport, "ann", "pw", "", "", "auth.example.com");
                }).starts_with("URL auth.example.com"));
    EXPECT_TRUE(server.forms.empty());
    EXPECT_EQ(APIKey("k-1").credentialHeader().value, "k-1");
    EXPECT_EQ(APIKey("k-1").credentialHeader().field, HeaderField::apiKey);
}

TEST_F(AuthenticationTest, TheBackendNamesItsAuthenticationServer) {
    const auto auth = AudAuth::fetch(*transport, server.address());
    EXPECT_EQ(auth.url, "https://auth.example.com");
    EXPECT_EQ(auth.realm, "shop");
    server.authUrlReply = R"({"url":5})";
    EXPECT_EQ(errorOf([&] { AudAuth::fetch(*transport, server.address()); }),
              "Could not retrieve data from the given backend service.");
}

}  // namespace
}  // namespace audkit
