// The command line's readers of what comes from outside besides bundles and
// dumps: the scan configuration (--config), the baseline (--baseline) and a
// WebDriver server's replies (capture --webdriver). The first byte picks the
// reader and, for WebDriver, the HTTP status; the rest is the file or the
// body every request receives. Each reader accepts it or throws the
// library's Error (the importer's ImportError for the WebDriver replies).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "audkit/base/error.hpp"
#include "tests/fuzz/replayed_replies.hpp"
#include "tools/audkit/import/imported_tree.hpp"
#include "tools/audkit/import/webdriver_client.hpp"
#include "tools/audkit/scan/baseline.hpp"
#include "tools/audkit/scan/scan_config.hpp"

namespace {

using namespace audkit;

using fuzz::attempt;
using fuzz::Replay;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
        case 0:
        case 1: {
            static const std::string path = "/tmp/fuzz_command_inputs." + std::to_string(::getpid()) + ".json";
            std::ofstream(path, std::ios::binary | std::ios::trunc) << rest;
            if (data[0] % 4 == 0)
                attempt([&] { (void)cli::readScanConfig(path); });
            else
                attempt([&] { (void)cli::Baseline::read(path); });
            break;
        }
        default: {
            Replay transport(data[0] % 4 == 2 ? 200 : 404, rest);
            const cli::WebDriver driver("http://127.0.0.1:4723", transport);
            try {
                (void)driver.session("");
            } catch (const cli::ImportError&) {}
            try {
                (void)driver.get("/session/s1/source");
            } catch (const cli::ImportError&) {}
        }
    }
    return 0;
}
