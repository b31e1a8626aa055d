// Throughput of batch scans: every example bundle scanned as one batch (the
// whole `audkit scan` path, reports included) with 1 and 2 worker threads,
// alternating, three rounds each; prints screens per second.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <thread>
#include <vector>

#include "audkit/base/zk_log.hpp"
#include "bench/one_recognition_thread.hpp"
#include "tools/audkit/commands/commands.hpp"

int main(int, char** argv) {
    oneRecognitionThread(argv);
    using Clock = std::chrono::steady_clock;
    audkit::ZKLog::setSink([](std::string_view) {});
    const auto examples = std::filesystem::path(AUDKIT_SOURCE_DIR) / "examples";
    std::size_t screens = 0;
    for (const auto& entry : std::filesystem::directory_iterator(examples))
        screens += std::filesystem::exists(entry.path() / "capture.json");
    std::printf("%zu example screens per batch, %u cores\n", screens, std::thread::hardware_concurrency());
    std::vector<double> best(3, 1e9);
    for (int round = 0; round < 3; ++round) {
        for (unsigned jobs : {1U, 2U}) {
            audkit::cli::ScanOptions options;
            options.bundles = {examples.string()};
            options.jobs = jobs;
            std::ostringstream out, err;
            const auto start = Clock::now();
            const int status = audkit::cli::runScan(options, {}, out, err);
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            if (status == 2) {
                std::fprintf(stderr, "bench_batch: the batch failed:\n%s", err.str().c_str());
                return 1;
            }
            best[jobs] = std::min(best[jobs], seconds);
            std::printf("round %d, %u worker%s: %.2f s, %.2f screens/s\n", round + 1, jobs, jobs == 1 ? "" : "s",
                        seconds, static_cast<double>(screens) / seconds);
        }
    }
    std::printf("best: 1 worker %.2f screens/s, 2 workers %.2f screens/s (speed-up %.2f)\n",
                static_cast<double>(screens) / best[1], static_cast<double>(screens) / best[2], best[1] / best[2]);
    return 0;
}
