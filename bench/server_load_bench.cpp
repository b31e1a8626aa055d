// audkit-server under load on loopback: 20 clients, each with its own login
// (an API key, the user check), post 1,000 results between them through the
// library's own client (gzip, as a test posts); then every key is fetched
// back and the stored results counted, so that nothing lost goes unseen.
// Prints the post latency (p50, p95, max) and throughput, for SQLite and for
// a throw-away PostgreSQL server.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "audkit/base/strict_json.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/facade/aud_kit.hpp"
#include "audkit/platform/curl_transport.hpp"
#include "bench/one_recognition_thread.hpp"
#include "tests/support/local_postgres.hpp"
#include "tools/audkit-server/auth/secrets.hpp"
#include "tools/audkit-server/http/api_server.hpp"
#include "tools/audkit-server/store/accounts.hpp"
#include "tools/audkit-server/store/schema.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int clients = 20, postsEach = 50;

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool load(const std::string& label, audkit::server::Database& database, const std::string& document) {
    using namespace audkit::server;
    prepareSchema(database);
    Accounts accounts(database);
    const auto user = accounts.addUser("load@example.com", "Load", hashPassword("load-test-password"));
    const auto key = newApiKey();
    accounts.addKey(key.id, user.id, secretHash(key.secret));

    std::ostringstream logLines;
    StructuredLog log(logLines);
    ServerOptions options;
    options.threads = clients;
    ApiServer server(database, options, log);
    const int port = server.bind("127.0.0.1", 0);
    std::thread serving([&] { server.run(); });
    while (!server.running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto address = "http://127.0.0.1:" + std::to_string(port);

    std::mutex mutex;
    std::vector<double> latencies;
    std::vector<audkit::AudKitResultKey> keys;
    std::atomic<int> failures = 0;
    const auto started = Clock::now();
    std::vector<std::thread> workers;
    for (int client = 0; client < clients; ++client) {
        workers.emplace_back([&] {
            try {
                auto kit =
                    audkit::AudKit::loginWithAPIKey(std::make_shared<audkit::CurlTransport>(), key.text(), address);
                for (int post = 0; post < postsEach; ++post) {
                    auto result = audkit::resultFromJson(audkit::parseFromOutside<audkit::Json>(document));
                    const auto begin = Clock::now();
                    const auto posted = kit->postResult(*result, {});
                    const auto took = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
                    const std::lock_guard lock(mutex);
                    latencies.push_back(took);
                    keys.push_back(posted);
                }
            } catch (const std::exception& error) {
                ++failures;
                std::fprintf(stderr, "client failed: %s\n", error.what());
            }
        });
    }
    for (auto& worker : workers) worker.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();

    // Nothing lost: every key answers with its document, and the store holds exactly as many.
    auto kit = audkit::AudKit::loginWithAPIKey(std::make_shared<audkit::CurlTransport>(), key.text(), address);
    std::size_t fetched = 0;
    for (const auto& posted : keys) fetched += kit->getResult(posted) != nullptr;
    const auto stored = database.run("SELECT COUNT(*) FROM results")[0][0].value_or("0");
    server.stop();
    serving.join();

    std::sort(latencies.begin(), latencies.end());
    const auto at = [&](double share) {
        return latencies.empty()
                   ? 0.0
                   : latencies[std::min(latencies.size() - 1,
                                        static_cast<std::size_t>(share * static_cast<double>(latencies.size())))];
    };
    std::printf(
        "%-10s %d clients x %d posts of %.1f kB: %zu posted, %zu fetched back, %s stored, %d clients failed; "
        "%.1f posts/s; latency p50 %.0f ms, p95 %.0f ms, max %.0f ms\n",
        label.c_str(), clients, postsEach, static_cast<double>(document.size()) / 1024, keys.size(), fetched,
        stored.c_str(), failures.load(), static_cast<double>(keys.size()) / seconds, at(0.5), at(0.95),
        latencies.empty() ? 0.0 : latencies.back());
    return keys.size() == clients * postsEach && fetched == keys.size() && stored == std::to_string(keys.size());
}

}  // namespace

int main(int, char** argv) {
    oneRecognitionThread(argv);
    ::setenv("DO_NOT_TRACK", "1", 1);
    audkit::ZKLog::setSink([](std::string_view) {});
    const auto folder = std::filesystem::temp_directory_path() / ("audkit-load-" + audkit::server::randomId());
    std::filesystem::create_directories(folder);
    // A real result document: the settings example as the scanner writes it.
    audkit::cli::ScanOptions scan;
    scan.bundles = {(std::filesystem::path(AUDKIT_SOURCE_DIR) / "examples" / "settings").string()};
    scan.output = (folder / "result.json").string();
    std::ostringstream out, err;
    if (audkit::cli::runScan(scan, {}, out, err) > 1) {
        std::fprintf(stderr, "the example could not be scanned: %s\n", err.str().c_str());
        return 2;
    }
    const auto document = readAll(folder / "result.json");
    bool whole = true;
    {
        auto sqlite = audkit::server::openDatabase((folder / "results.sqlite3").string());
        whole &= load("SQLite", *sqlite, document);
    }
    std::filesystem::remove_all(folder);
    {
        audkit::test::LocalPostgres postgres;
        auto database = audkit::server::openDatabase(postgres.address());
        whole &= load("PostgreSQL", *database, document);
    }
    return whole ? 0 : 1;
}
