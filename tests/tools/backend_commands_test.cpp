#include <gtest/gtest.h>

#include <cstdlib>
#include <httplib.h>
#include <sstream>
#include <thread>

#include "tests/support/local_server.hpp"
#include "tests/support/test_support.hpp"
#include "tools/audkit/commands.hpp"

namespace audkit {
namespace {

// A backend on 127.0.0.1 that accepts one API key.
class Backend : public test::LocalServer {
public:
    Backend() {
        server.Get("/attest/user", [](const httplib::Request& request, httplib::Response& reply) {
            if (request.get_header_value("X-Api-Key") != "key-1") {
                reply.status = 401;
                reply.set_content(R"({"message":"unknown key","error":"Unauthorized"})", "application/json");
                return;
            }
            reply.set_content(R"({"userId":"u1","email":"ann@example.com"})", "application/json");
        });
        const auto key = R"({"packageName":"com.example.shop","userId":"u1","resultId":"r1"})";
        auto answer = [this, key](const httplib::Request& request, httplib::Response& reply) {
            targets.push_back(request.method + " " + request.path);
            reply.set_content(key, "application/json");
        };
        server.Post("/attest/result/aud", answer);
        server.Post(R"(/attest/result/tag/.*)", answer);
        server.Delete(R"(/attest/result/.*)", answer);
        start();
    }
    std::vector<std::string> targets;
};

TEST(BackendCommands, ScanPostsAndPrintsTheKeyLast) {
    test::LogCapture log;
    ::setenv("DO_NOT_TRACK", "1", 1);  // telemetry would go to the real analytics host
    Backend backend;
    cli::LoginOptions login{"http://127.0.0.1:" + std::to_string(backend.port), "key-1", ""};
    cli::ScanOptions scan;
    scan.bundle = (test::sourceDir() / "examples" / "settings").string();
    scan.post = true;
    scan.tags = {"nightly"};
    std::ostringstream out, err;
    EXPECT_LE(cli::runScan(scan, login, out, err), 1) << err.str();
    EXPECT_TRUE(out.str().ends_with("\nu1/com.example.shop/r1\n")) << out.str();
    EXPECT_EQ(backend.targets,
              (std::vector<std::string>{"POST /attest/result/aud", "POST /attest/result/tag/u1/com.example.shop/r1"}));

    cli::ResultOptions remove{"delete", "u1/com.example.shop/r1", {}, ""};
    std::ostringstream none, reason;
    EXPECT_EQ(cli::runResult(remove, login, none, reason), 0) << reason.str();
    EXPECT_EQ(backend.targets.back(), "DELETE /attest/result/u1/com.example.shop/r1");

    login.apiKey = "wrong-key";
    std::ostringstream rejected;
    EXPECT_EQ(cli::runResult(remove, login, none, rejected), 2);
    EXPECT_EQ(rejected.str(),
              "audkit: Authentication could not be validated. Please check your credentials and try again.\n");
    for (const auto& line : log.lines()) EXPECT_EQ(line.find("wrong-key"), std::string::npos) << line;
    ::unsetenv("DO_NOT_TRACK");
}

}  // namespace
}  // namespace audkit
