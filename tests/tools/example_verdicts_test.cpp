#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "tests/support/expected_verdicts.hpp"
#include "tests/support/test_support.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

namespace fs = std::filesystem;

// The examples with an expected-verdicts file, by whether they scan with
// dynamic type.
std::map<bool, std::vector<fs::path>> reviewedExamples() {
    std::map<bool, std::vector<fs::path>> examples;
    for (const auto& entry : fs::directory_iterator(test::sourceDir() / "examples")) {
        const auto expectedFile = entry.path() / "expected-verdicts.json";
        if (!fs::exists(expectedFile)) continue;
        const auto expected = nlohmann::json::parse(test::readFile(expectedFile));
        examples[verdicts::scansWithDynamicType(expected)].push_back(entry.path());
    }
    return examples;
}

// How many of the reviewer's verdicts the result was checked against.
std::size_t checkAgainstReviewer(const fs::path& example, const nlohmann::json& result) {
    const auto expected = nlohmann::json::parse(test::readFile(example / "expected-verdicts.json"));
    std::size_t checked = 0;
    for (const auto& comparison : verdicts::compare(result, expected)) {
        EXPECT_TRUE(comparison.agrees()) << example.filename().string() << " " << comparison.element << " "
                                         << comparison.rule << ": expected " << comparison.expected << ", got "
                                         << comparison.actual;
        ++checked;
    }
    return checked;
}

// Every reviewed example, scanned as the command line scans it, agrees with
// the reviewer on every listed verdict.
TEST(ExampleVerdicts, ScansAgreeWithTheReviewer) {
    test::LogCapture log;
    std::size_t checked = 0;
    for (const auto& [dynamicType, examples] : reviewedExamples())
        for (const auto& example : examples) {
            cli::ScanOptions options;
            options.bundles = {example.string()};
            options.format = "json";
            options.dynamicType = dynamicType;
            std::ostringstream out, err;
            ASSERT_NE(cli::runScan(options, {}, out, err), 2) << err.str();
            checked += checkAgainstReviewer(example, nlohmann::json::parse(out.str()));
        }
    EXPECT_GE(checked, 30U);
}

// So do they with the lines found by the text detector, two workers each
// reading with a network of its own.
TEST(ExampleVerdicts, TheLineDetectorReadsThemAsWell) {
    test::LogCapture log;
    std::size_t checked = 0;
    for (const auto& [dynamicType, examples] : reviewedExamples()) {
        cli::ScanOptions options;
        for (const auto& example : examples) options.bundles.push_back(example.string());
        options.format = "json";
        options.dynamicType = dynamicType;
        options.ocr = "neural";
        options.jobs = 2;
        std::ostringstream out, err;
        ASSERT_NE(cli::runScan(options, {}, out, err), 2) << err.str();
        for (const auto& entry : nlohmann::json::parse(out.str())) {
            ASSERT_TRUE(entry.contains("result")) << entry.dump();
            checked += checkAgainstReviewer(entry["bundle"].get<std::string>(), entry["result"]);
        }
    }
    EXPECT_GE(checked, 30U);
}

}  // namespace
}  // namespace audkit
