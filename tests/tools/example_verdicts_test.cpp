#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/support/expected_verdicts.hpp"
#include "tests/support/test_support.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

// Every example with an expected-verdicts file, scanned as the command line
// scans it, agrees with the reviewer on every listed verdict.
TEST(ExampleVerdicts, ScansAgreeWithTheReviewer) {
    test::LogCapture log;
    std::size_t checked = 0;
    for (const auto& entry : std::filesystem::directory_iterator(test::sourceDir() / "examples")) {
        const auto expectedFile = entry.path() / "expected-verdicts.json";
        if (!std::filesystem::exists(expectedFile)) continue;
        const auto expected = nlohmann::json::parse(test::readFile(expectedFile));
        cli::ScanOptions options;
        options.bundles = {entry.path().string()};
        options.format = "json";
        options.dynamicType = verdicts::scansWithDynamicType(expected);
        std::ostringstream out, err;
        ASSERT_NE(cli::runScan(options, {}, out, err), 2) << err.str();
        for (const auto& comparison : verdicts::compare(nlohmann::json::parse(out.str()), expected)) {
            EXPECT_TRUE(comparison.agrees())
                << entry.path().filename().string() << " " << comparison.element << " " << comparison.rule
                << ": expected " << comparison.expected << ", got " << comparison.actual;
            ++checked;
        }
    }
    EXPECT_GE(checked, 30U);
}

}  // namespace
}  // namespace audkit
