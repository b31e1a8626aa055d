#include <gtest/gtest.h>

#include "tests/support/real_dump_verdicts.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

namespace fs = std::filesystem;

// Rules that read the screenshot's pixels: their verdicts rest on
// recognition, so a finding they miss is measured by bench_real, not pinned.
bool readsPixels(const std::string& rule) {
    return rule == "ColorContrast" || rule == "CollidingViews" || rule == "FocusableText" || rule == "UnexposedText";
}

// FAILs a reviewer would not file that the scan still gives, each for a
// reason no rule change here mends without losing true findings elsewhere.
bool knownDisagreement(const realdumps::Finding& fail) {
    // "Action Button" is a setting's name; the rule cannot tell a product
    // name from the trait spoken twice.
    if (fail.dump.ends_with("mobster_ios26_settings_root.xml") && fail.line == 108) return true;
    // A search field named by its placeholder alone: the rule holds the
    // placeholder to be no name, which on the standard search bar is how
    // VoiceOver names it.
    return fail.dump.ends_with("mobster_ios26_settings_root.xml") && fail.line == 241;
}

std::string describe(const realdumps::Finding& finding) {
    return finding.dump + " line " + std::to_string(finding.line) + " " + finding.rule + " (" + finding.status +
           "): " + finding.why;
}

// Real apps' dumps, scanned as a new user would: no FAIL the reviewer would
// not file comes back, and every finding the reviewer files on what the dump
// records is reported.
TEST(RealDumpVerdicts, AgreedVerdictsHold) {
    const auto realScreens = test::sourceDir().parent_path() / "shared" / "real-screens";
    if (!fs::exists(realScreens)) GTEST_SKIP() << realScreens << " is not here";
    test::LogCapture log;
    test::TempDir work;
    realdumps::Comparison comparison;
    std::size_t dumps = 0;
    for (const auto& reviewed :
         realdumps::reviewedDumps(test::sourceDir() / "tests/fixtures/real-screens", realScreens)) {
        std::string error;
        const auto result = realdumps::importAndScan(reviewed, work.path() / "bundle", error);
        ASSERT_TRUE(result) << reviewed.dump << ": " << error;
        realdumps::compare(fs::relative(reviewed.dump, realScreens).string(), *result,
                           nlohmann::json::parse(test::readFile(reviewed.truth)), comparison);
        ++dumps;
    }
    EXPECT_GE(dumps, 23U);
    for (const auto& fail : comparison.fails) {
        if (knownDisagreement(fail)) continue;
        EXPECT_EQ(fail.verdict, realdumps::Verdict::file) << "a FAIL the reviewer does not file: " << describe(fail);
    }
    for (const auto& missed : comparison.missed) {
        if (readsPixels(missed.rule)) continue;
        ADD_FAILURE() << "a finding the reviewer files is not reported: " << describe(missed);
    }
}

}  // namespace
}  // namespace audkit
