#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>

#include "audkit/base/files.hpp"
#include "audkit/base/number_formatter_helper.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

TEST(FilesSave, NeverOverwritesAndNumbersTheNextFreeName) {
    test::LogCapture log;
    test::TempDir dir;
    const auto directory = (dir.path() / "results" / "nested").string();
    const auto first = Files::save("one", directory, "scan", "json");
    const auto second = Files::save("two", directory, "scan", "json");
    const auto third = Files::save("three", directory, "scan", "json");
    EXPECT_EQ(first, directory + "/scan.json");
    EXPECT_EQ(second, directory + "/scan-1.json");
    EXPECT_EQ(third, directory + "/scan-2.json");
    EXPECT_EQ(test::readFile(first), "one");
    EXPECT_EQ(test::readFile(third), "three");
    EXPECT_TRUE(log.contains("ZUNIK LOG: File successfully saved at " + third + "."));
}

TEST(FilesSave, InsertsASlashOnlyWhenNeitherSideHasOne) {
    test::LogCapture log;
    test::TempDir dir;
    const auto base = dir.path().string();
    EXPECT_EQ(Files::save("a", base + "/", "x", "json"), base + "/x.json");
    EXPECT_EQ(Files::save("a", base, "/y", "json"), base + "/y.json");
}

TEST(FilesSave, SkipsNamesTakenByDirectories) {
    test::LogCapture log;
    test::TempDir dir;
    std::filesystem::create_directory(dir.path() / "scan.json");
    EXPECT_EQ(Files::save("a", dir.path().string(), "scan", "json"), (dir.path() / "scan-1.json").string());
}

TEST(FilesSave, ReportsTheCandidatePathWhenTheFileCannotBeCreated) {
    test::LogCapture log;
    test::TempDir dir;
    // The name reaches into a directory that does not exist.
    try {
        Files::save("a", dir.path().string(), "missing/scan", "json");
        FAIL() << "expected an error";
    } catch (const Files::FileNotSaved& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Could not save file at location " + dir.path().string() + "/missing/scan.json");
    }
}

TEST(NumberFormatterHelper, FormatsCappedPercentagesAndNaN) {
    const auto& formatter = NumberFormatterHelper::shared();
    EXPECT_EQ(formatter.percentage(0.25), "25.00%");
    EXPECT_EQ(formatter.percentage(1.7), "100.00%");
    EXPECT_EQ(formatter.percentage(-0.125), "12.50%");
    EXPECT_EQ(formatter.percentage(std::numeric_limits<double>::quiet_NaN()), "N/A");
    EXPECT_EQ(formatter.percentage(std::numeric_limits<double>::infinity()), "N/A");
}

}  // namespace
}  // namespace audkit
