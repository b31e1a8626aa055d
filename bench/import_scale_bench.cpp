// Imports at scale: an Appium page source of 2,000, 20,000 and 200,000
// sibling labels under one application, through the whole `audkit import`
// path (read, parse, mark system elements, write the bundle). Prints the time
// of each and the growth per tenfold size; linear growth reads about 10.
//
//   build/bench/bench_import_scale
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "tools/audkit/commands/commands.hpp"

int main() {
    namespace fs = std::filesystem;
    const auto folder = fs::temp_directory_path() / ("audkit-import-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    double previous = 0;
    for (const int count : {2'000, 20'000, 200'000}) {
        const auto dump = folder / ("siblings-" + std::to_string(count) + ".xml");
        {
            std::ofstream out(dump);
            out << R"(<?xml version="1.0"?><AppiumAUT><XCUIElementTypeApplication type="XCUIElementTypeApplication" )"
                   R"(name="A" x="0" y="0" width="390" height="844" visible="true" enabled="true">)";
            for (int i = 0; i < count; ++i)
                out << R"(<XCUIElementTypeStaticText type="XCUIElementTypeStaticText" name="r)" << i
                    << R"(" label="Row )" << i << R"(" x="0" y=")" << (i * 20) % 800
                    << R"(" width="390" height="20" visible="true" enabled="true"/>)";
            out << "</XCUIElementTypeApplication></AppiumAUT>";
        }
        const auto bundle = folder / ("bundle-" + std::to_string(count));
        std::ostringstream out, err;
        const auto start = std::chrono::steady_clock::now();
        const int status = audkit::cli::runImport({dump.string(), "", bundle.string()}, out, err);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status != 0) {
            std::fprintf(stderr, "bench_import_scale: the import failed: %s", err.str().c_str());
            return 1;
        }
        std::printf("%7d siblings: %6.2f s", count, seconds);
        if (previous > 0) std::printf("  (x%.1f for ten times the size)", seconds / previous);
        std::printf("\n");
        previous = seconds;
    }
    fs::remove_all(folder);
    return 0;
}
