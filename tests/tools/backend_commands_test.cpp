#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/results_backend.hpp"
#include "tests/support/test_support.hpp"
#include "tests/support/tls_server.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class BackendCommands : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("DO_NOT_TRACK", "1", 1); }
    void TearDown() override {
        for (const char* name : {"AUDKIT_SERVER", "AUDKIT_API_KEY", "AUDKIT_PASSWORD", "CURL_CA_BUNDLE"})
            ::unsetenv(name);
    }

    cli::LoginOptions login() const { return {backend.address(), "key-1", "", ""}; }
    Outcome scan(const cli::ScanOptions& options, const cli::LoginOptions& with) {
        std::ostringstream out, err;
        const int status = cli::runScan(options, with, out, err);
        return {status, out.str(), err.str()};
    }
    Outcome result(const cli::ResultOptions& options, const cli::LoginOptions& with) {
        std::ostringstream out, err;
        const int status = cli::runResult(options, with, out, err);
        return {status, out.str(), err.str()};
    }
    static cli::ScanOptions posting() {
        cli::ScanOptions options;
        options.bundles = {(test::sourceDir() / "examples" / "settings").string()};
        options.post = true;
        options.tags = {"nightly"};
        return options;
    }
    static cli::ResultOptions removing(const std::string& key) { return {"delete", key, {}, "", false}; }

    test::LogCapture log;
    test::ResultsBackend backend;
};

TEST_F(BackendCommands, ScanPostsAndPrintsTheKeyLastEvenWhenTaggingFails) {
    auto run = scan(posting(), login());
    EXPECT_LE(run.status, 1) << run.err;
    EXPECT_TRUE(run.out.ends_with("\nu1/com.example.shop/r1\n")) << run.out;
    EXPECT_EQ(backend.requests(), (std::vector<std::string>{"GET /attest/user", "POST /attest/result/aud",
                                                            "POST /attest/result/tag/u1/com.example.shop/r1"}));

    // The result is stored although the tag step failed: its key is printed
    // where it always is, and the failure names the step.
    backend.tagStatus = 500;
    run = scan(posting(), login());
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.ends_with("\nu1/com.example.shop/r1\n")) << run.out;
    EXPECT_TRUE(run.err.starts_with("audkit: The result was posted as u1/com.example.shop/r1, but tagging it failed: "))
        << run.err;

    EXPECT_EQ(result(removing("u1/com.example.shop/r1"), login()).status, 0);
    EXPECT_EQ(backend.requests().back(), "DELETE /attest/result/u1/com.example.shop/r1");
    // A key part cannot climb to another resource.
    const auto before = backend.requests().size();
    run = result(removing("u1/../r1"), login());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "audkit: \"..\" cannot be part of a result key (userId/packageName/resultId)\n");
    EXPECT_EQ(backend.requests().size(), before + 1);  // the user check only
}

TEST_F(BackendCommands, SecretsAndTheServerComeFromTheEnvironmentOrStandardInput) {
    const auto removal = removing("u1/com.example.shop/r1");
    // No built-in backend: without an address nothing is sent anywhere.
    auto run = result(removal, {"", "key-1", "", ""});
    EXPECT_EQ(run.err, "audkit: a backend needs its address: --server URL or AUDKIT_SERVER\n");
    ::setenv("AUDKIT_SERVER", backend.address().c_str(), 1);
    ::setenv("AUDKIT_API_KEY", "key-1", 1);
    EXPECT_EQ(result(removal, {"", "", "", ""}).status, 0);

    ::unsetenv("AUDKIT_API_KEY");
    std::istringstream typed("key-1\r\n");
    auto* saved = std::cin.rdbuf(typed.rdbuf());
    run = result(removal, {"", "-", "", ""});
    std::cin.rdbuf(saved);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(backend.requests().back(), "DELETE /attest/result/u1/com.example.shop/r1");

    ::setenv("AUDKIT_PASSWORD", "secret", 1);
    EXPECT_EQ(result(removal, {"", "", "ann@example.com", ""}).status, 0);
    for (const auto& line : log.lines()) EXPECT_EQ(line.find("secret"), std::string::npos) << line;
}

TEST_F(BackendCommands, AFailedUserCheckSaysWhy) {
    const auto removal = removing("u1/com.example.shop/r1");
    const std::string check =
        "audkit: Authentication could not be validated. Please check your credentials and try again.";
    auto run = result(removal, {backend.address(), "wrong-key", "", ""});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.starts_with(check + " (HTTP status 401: ")) << run.err;
    EXPECT_NE(run.err.find("unknown key"), std::string::npos) << run.err;
    for (const auto& line : log.lines()) EXPECT_EQ(line.find("wrong-key"), std::string::npos) << line;

    // Only a 401 blames the credentials.
    backend.userStatus = 500;
    EXPECT_EQ(result(removal, login()).err,
              "audkit: could not check the user with the server: HTTP status 500: Server unexpectedly returned no "
              "data.\n");
    backend.userStatus = 302;
    EXPECT_EQ(result(removal, login()).err,
              "audkit: could not check the user with the server: HTTP status 302: Server unexpectedly returned no "
              "data.\n");
    backend.userStatus = 403;
    EXPECT_TRUE(result(removal, login()).err.starts_with("audkit: the server refused the user check: HTTP status 403"));

    int closedPort = 0;
    {
        test::LocalServer gone;
        gone.start();
        closedPort = gone.port;
    }
    run = result(removal, {"http://127.0.0.1:" + std::to_string(closedPort), "key-1", "", ""});
    EXPECT_TRUE(
        run.err.starts_with("audkit: could not check the user with the server: The request to http://127.0.0.1:"))
        << run.err;
    EXPECT_NE(run.err.find("onnect"), std::string::npos) << run.err;
}

TEST_F(BackendCommands, APrivateCertificateAuthorityIsTrustedWhenNamed) {
    test::TempDir certificates;
    test::TlsServer secure(certificates.path());
    secure.server().Get("/attest/user", [](const httplib::Request&, httplib::Response& reply) {
        reply.set_content(R"({"userId":"u1","email":"ann@example.com"})", "application/json");
    });
    secure.server().Delete(R"(/attest/result/.*)", [](const httplib::Request&, httplib::Response& reply) {
        reply.set_content(R"({"packageName":"com.example.shop","userId":"u1","resultId":"r1"})", "application/json");
    });
    secure.start();
    const auto removal = removing("u1/com.example.shop/r1");
    auto run = result(removal, {secure.address(), "key-1", "", ""});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("certificate"), std::string::npos) << run.err;

    EXPECT_EQ(result(removal, {secure.address(), "key-1", "", secure.certificateFile()}).status, 0);
    ::setenv("CURL_CA_BUNDLE", secure.certificateFile().c_str(), 1);
    EXPECT_EQ(result(removal, {secure.address(), "key-1", "", ""}).status, 0);

    run = result(removal, {secure.address(), "key-1", "", (certificates.path() / "none.pem").string()});
    EXPECT_EQ(run.err, "audkit: certificate authorities " + (certificates.path() / "none.pem").string() +
                           ": no such readable file\n");
}

TEST_F(BackendCommands, SavedResultPathsAreWrittenAsGiven) {
    test::TempDir folder;
    auto options = posting();
    options.post = false;
    options.save = folder.path().string() + "/";
    // Saving needs no backend: no address, no credentials.
    const auto run = scan(options, {"", "", "", ""});
    EXPECT_LE(run.status, 1) << run.err;
    const auto last = run.out.substr(run.out.rfind('\n', run.out.size() - 2) + 1);
    EXPECT_TRUE(last.starts_with(folder.path().string() + "/com.example.")) << last;
    EXPECT_EQ(last.find("//"), std::string::npos) << last;
}

// The whole scanner on a pseudo-terminal, as a person types the password.
TEST_F(BackendCommands, APasswordTypedOnATerminalIsAskedForAndNotEchoed) {
    ::unsetenv("AUDKIT_PASSWORD");
    const std::string server = backend.address();
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execl(AUDKIT_CLI_PATH, AUDKIT_CLI_PATH, "result", "delete", "u1/com.example.shop/r1", "--server",
                server.c_str(), "--user", "ann@example.com", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string screen;
    auto readUntil = [&](const std::string& wanted) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        char buffer[256];
        while (screen.find(wanted) == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd ready{terminal, POLLIN, 0};
            if (::poll(&ready, 1, 100) <= 0) continue;
            const auto count = ::read(terminal, buffer, sizeof buffer);
            if (count <= 0) break;
            screen.append(buffer, static_cast<std::size_t>(count));
        }
        return screen.find(wanted) != std::string::npos;
    };
    EXPECT_TRUE(readUntil("Password for ann@example.com: ")) << screen;
    ASSERT_EQ(::write(terminal, "secret\r", 7), 7);
    readUntil("\n");
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);  // a scanner still waiting fails the test instead of hanging it
            ::waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    readUntil("never");  // whatever is left
    ::close(terminal);
    EXPECT_EQ(WEXITSTATUS(status), 0) << screen;
    EXPECT_EQ(screen.find("secret"), std::string::npos) << screen;
    EXPECT_EQ(backend.requests().back(), "DELETE /attest/result/u1/com.example.shop/r1");
}

}  // namespace
}  // namespace audkit
