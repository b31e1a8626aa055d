#include <gtest/gtest.h>

#include <httplib.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <zlib.h>

#include "audkit/rules/aud_kit_result_key.hpp"
#include "tests/server/running_server.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

struct Outcome {
    int status;
    std::string out, err;
};

// Every test runs on both kinds of database.
class ResultsServer : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { ::setenv("DO_NOT_TRACK", "1", 1); }
    void TearDown() override { ::unsetenv("AUDKIT_PASSWORD"); }

    Outcome scan(const std::string& key, const std::vector<std::string>& tags) {
        cli::ScanOptions options;
        options.bundles = {(test::sourceDir() / "examples" / "settings").string()};
        options.post = true;
        options.tags = tags;
        std::ostringstream out, err;
        const int status = cli::runScan(options, {server.address(), key, "", ""}, out, err);
        return {status, out.str(), err.str()};
    }
    Outcome result(const std::string& action, const std::string& key, std::vector<std::string> arguments,
                   const cli::LoginOptions& login, const std::string& output = "") {
        cli::ResultOptions options;
        options.action = action;
        options.key = key;
        options.arguments = std::move(arguments);
        options.output = output;
        std::ostringstream out, err;
        const int status = cli::runResult(options, login, out, err);
        return {status, out.str(), err.str()};
    }
    nlohmann::ordered_json fetched(const std::string& resultKey, const cli::LoginOptions& login) {
        const auto file = database.folder.path() / "fetched.json";
        const auto run = result("get", resultKey, {}, login, file.string());
        EXPECT_EQ(run.status, 0) << run.err;
        return run.status == 0 ? nlohmann::ordered_json::parse(test::readFile(file)) : nlohmann::ordered_json();
    }

    test::LogCapture log;
    test::TestDatabase database{GetParam()};
    test::RunningServer server{*database.database};
};

TEST_P(ResultsServer, TheScannerPostsGetsTagsRenamesAndDeletesThroughIt) {
    const auto key = database.userWithKey("ann@example.com", "Shop");
    const auto posted = scan(key, {"nightly"});
    ASSERT_LE(posted.status, 1) << posted.err;
    const auto resultKey = posted.out.substr(posted.out.rfind('\n', posted.out.size() - 2) + 1, std::string::npos);
    const auto parsed = AudKitResultKey::fromFabTitle(resultKey.substr(0, resultKey.size() - 1));
    ASSERT_TRUE(parsed) << posted.out;
    EXPECT_EQ(parsed->packageName, "com.example.shop.Settings");
    const auto id = parsed->description();

    const cli::LoginOptions withKey{server.address(), key, "", ""};
    auto document = fetched(id, withKey);
    EXPECT_EQ(document["tags"], nlohmann::ordered_json({"nightly"}));

    EXPECT_EQ(result("tag", id, {"release", "nightly"}, withKey).status, 0);
    EXPECT_EQ(result("rename", id, {"Checkout, dark mode"}, withKey).status, 0);
    // The password login: a token from the server's own token endpoint.
    ::setenv("AUDKIT_PASSWORD", "correct horse", 1);
    const cli::LoginOptions withPassword{server.address(), "", "ann@example.com", ""};
    document = fetched(id, withPassword);
    EXPECT_EQ(document["scanName"], "Checkout, dark mode");
    EXPECT_EQ(document["tags"], nlohmann::ordered_json({"nightly", "release"}));
    EXPECT_EQ(document.begin().key(), "scanName");

    EXPECT_EQ(result("delete", id, {}, withPassword).status, 0);
    const auto gone = result("get", id, {}, withKey);
    EXPECT_EQ(gone.status, 2);
    EXPECT_NE(gone.err.find("(404)"), std::string::npos) << gone.err;

    // Nothing secret reaches the server's log.
    EXPECT_EQ(httplib::Client(server.address()).Get("/health")->body, R"({"status":"ok"})");
    const auto lines = server.stop();
    EXPECT_NE(lines.find("\"event\":\"result posted\""), std::string::npos) << lines;
    EXPECT_EQ(lines.find("correct horse"), std::string::npos);
    EXPECT_EQ(lines.find(key.substr(36)), std::string::npos);
}

TEST_P(ResultsServer, AnotherOrganisationsResultIsNotFoundOnEveryEndpoint) {
    const auto ann = database.userWithKey("ann@example.com", "Shop");
    const auto bob = database.userWithKey("bob@example.com", "Bank");
    const auto colleague = database.userWithKey("cy@example.com", "Shop");
    const auto posted = scan(ann, {});
    ASSERT_LE(posted.status, 1) << posted.err;
    const auto id = posted.out.substr(posted.out.rfind('\n', posted.out.size() - 2) + 1);
    const auto path = id.substr(0, id.size() - 1);

    httplib::Client client(server.address());
    auto as = [](const std::string& key) { return httplib::Headers{{"X-Api-Key", key}}; };
    for (const auto& key : {bob, ann.substr(0, ann.size() - 1) + (ann.back() == '0' ? "1" : "0")}) {
        const int expected = key == bob ? 404 : 401;
        EXPECT_EQ(client.Get("/attest/result/aud/" + path, as(key))->status, expected);
        EXPECT_EQ(client.Post("/attest/result/tag/" + path, as(key), "[\"x\"]", "application/json")->status, expected);
        EXPECT_EQ(client.Put("/attest/results/summaries/" + path + "/name", as(key), "x", "text/plain")->status,
                  expected);
        EXPECT_EQ(client.Delete("/attest/result/" + path, as(key))->status, expected);
    }
    // A key naming the result under another user or package finds nothing
    // either, and the result is untouched by all of it.
    const auto resultId = path.substr(path.rfind('/') + 1);
    EXPECT_EQ(client.Get("/attest/result/aud/someone/com.example.shop.Settings/" + resultId, as(ann))->status, 404);
    // Nor does a name that one of the databases could not hold.
    EXPECT_EQ(client.Put("/attest/results/summaries/" + path + "/name", as(ann), std::string("a\0b", 3), "text/plain")
                  ->status,
              400);
    const auto stored = client.Get("/attest/result/aud/" + path, as(colleague));
    ASSERT_EQ(stored->status, 200);
    EXPECT_EQ(nlohmann::json::parse(stored->body)["tags"], nlohmann::json::array());
    EXPECT_FALSE(nlohmann::json::parse(stored->body).contains("scanName"));
}

TEST_P(ResultsServer, BodiesAreReadWithinTheirLimitsAndBombsAreRefused) {
    const auto key = database.userWithKey("ann@example.com", "Shop");
    server::ServerOptions small;
    small.maxBodyBytes = 1 << 20;
    test::RunningServer capped(*database.database, small);
    httplib::Client client(capped.address());
    const httplib::Headers withKey{{"X-Api-Key", key}};

    // 200 MB of spaces, 200 kB once compressed: refused without inflating it.
    std::string bomb;
    {
        z_stream stream{};
        deflateInit2(&stream, 9, Z_DEFLATED, 31, 9, Z_DEFAULT_STRATEGY);
        const std::string chunk(1 << 20, ' ');
        std::string out(1 << 20, '\0');
        for (int piece = 0; piece < 200; ++piece) {
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(chunk.data()));
            stream.avail_in = static_cast<uInt>(chunk.size());
            do {
                stream.next_out = reinterpret_cast<Bytef*>(out.data());
                stream.avail_out = static_cast<uInt>(out.size());
                deflate(&stream, piece == 199 ? Z_FINISH : Z_NO_FLUSH);
                bomb.append(out.data(), out.size() - stream.avail_out);
            } while (stream.avail_out == 0);
        }
        deflateEnd(&stream);
    }
    ASSERT_LT(bomb.size(), 1u << 20);
    auto gzipped = withKey;
    gzipped.emplace("Content-Encoding", "gzip");
    auto reply = client.Post("/attest/result/aud", gzipped, bomb, "application/json");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 413);
    EXPECT_NE(reply->body.find("larger than this server takes (1 MB)"), std::string::npos) << reply->body;
    reply = client.Post("/auth/realms/audkit/protocol/openid-connect/token", {{"Content-Encoding", "gzip"}}, bomb,
                        "application/x-www-form-urlencoded");
    EXPECT_EQ(reply->status, 413);
    // An endpoint that takes no body refuses one before reading it.
    EXPECT_EQ(client.Delete("/attest/result/a/b/c", withKey, bomb, "application/json")->status, 404);

    reply = client.Post("/attest/result/aud", withKey, R"({"audConf":{}})", "application/json");
    EXPECT_EQ(reply->status, 400);
    EXPECT_NE(reply->body.find("not a result document"), std::string::npos) << reply->body;
    EXPECT_EQ(client.Post("/attest/result/aud", withKey, "[", "application/json")->status, 400);
}

TEST_P(ResultsServer, WrongPasswordsAreRateLimited) {
    database.userWithKey("ann@example.com", "Shop");
    database.userWithKey("bob@example.com", "Shop");
    httplib::Client client(server.address());
    auto login = [&](const std::string& user, const std::string& password) {
        return client.Post("/auth/realms/audkit/protocol/openid-connect/token",
                           "grant_type=password&client_id=mobile&username=" + user + "&password=" + password,
                           "application/x-www-form-urlencoded");
    };
    for (int attempt = 0; attempt < 5; ++attempt) EXPECT_EQ(login("ann%40example.com", "guess")->status, 401);
    // The right password no longer helps for a while, for that user only.
    const auto refused = login("ann%40example.com", "correct+horse");
    EXPECT_EQ(refused->status, 429);
    EXPECT_GT(std::stoi(refused->get_header_value("Retry-After")), 800);
    const auto other = login("bob%40example.com", "correct+horse");
    ASSERT_EQ(other->status, 200);
    // An unknown user is told exactly what a wrong password is told.
    const auto unknown = login("nobody%40example.com", "guess");
    EXPECT_EQ(unknown->status, 401);
    EXPECT_EQ(unknown->body, login("bob%40example.com", "guess")->body);

    // The refresh grant gives a new pair; an access token is no refresh token.
    const auto tokens = nlohmann::json::parse(other->body);
    auto refreshed = client.Post(
        "/auth/realms/audkit/protocol/openid-connect/token",
        "grant_type=refresh_token&client_id=mobile&refresh_token=" + tokens["refresh_token"].get<std::string>(),
        "application/x-www-form-urlencoded");
    EXPECT_EQ(refreshed->status, 200);
    refreshed = client.Post(
        "/auth/realms/audkit/protocol/openid-connect/token",
        "grant_type=refresh_token&client_id=mobile&refresh_token=" + tokens["access_token"].get<std::string>(),
        "application/x-www-form-urlencoded");
    EXPECT_EQ(refreshed->status, 400);
}

TEST_P(ResultsServer, ServesHttpsWithItsCertificate) {
    const auto key = database.userWithKey("ann@example.com", "Shop");
    const auto certificate = database.folder.path() / "cert.pem", privateKey = database.folder.path() / "key.pem";
    ASSERT_EQ(std::system(("openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 -addext "
                           "subjectAltName=IP:127.0.0.1 -keyout " +
                           privateKey.string() + " -out " + certificate.string() + " >/dev/null 2>&1")
                              .c_str()),
              0);
    server::ServerOptions options;
    options.certificate = certificate.string();
    options.privateKey = privateKey.string();
    test::RunningServer secure(*database.database, options);
    const auto address = "https://127.0.0.1:" + std::to_string(secure.port);

    cli::ScanOptions scanning;
    scanning.bundles = {(test::sourceDir() / "examples" / "sign-in").string()};
    scanning.post = true;
    std::ostringstream out, err;
    ASSERT_LE(cli::runScan(scanning, {address, key, "", certificate.string()}, out, err), 1) << err.str();
    const auto text = out.str();
    const auto id = text.substr(text.rfind('\n', text.size() - 2) + 1);
    EXPECT_EQ(result("get", id.substr(0, id.size() - 1), {}, {address, key, "", certificate.string()}).status, 0);
    // Not trusted without the certificate's authority.
    EXPECT_EQ(result("get", id.substr(0, id.size() - 1), {}, {address, key, "", ""}).status, 2);
}

INSTANTIATE_TEST_SUITE_P(Databases, ResultsServer, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace audkit
