#include <gtest/gtest.h>

#include <sstream>

#include "tests/support/test_support.hpp"
#include "tools/audkit/commands.hpp"

namespace audkit {
namespace {

struct Run {
    int status;
    std::string out;
    std::string err;
};

Run inspect(const std::string& bundle) {
    std::ostringstream out, err;
    const int status = cli::runInspect({bundle}, out, err);
    return {status, out.str(), err.str()};
}

Run runCommand(const std::string& arguments) {
    test::TempDir dir;
    const auto outPath = dir.path() / "out", errPath = dir.path() / "err";
    const std::string command =
        std::string(AUDKIT_CLI_PATH) + " " + arguments + " >" + outPath.string() + " 2>" + errPath.string();
    const int status = std::system(command.c_str());
    return {WEXITSTATUS(status), test::readFile(outPath), test::readFile(errPath)};
}

TEST(InspectCommand, PrintsOneIndentedLinePerElement) {
    test::LogCapture log;
    test::TempDir dir;
    test::BundleBuilder builder;
    builder.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844), {"field"}))
        ["XC_kAXXCAttributeLabel"] = "Shop";
    auto& field = builder.element("field", 49, test::attributes("UITextField", test::rect(16, 120.5, 358, 44)));
    field["XC_kAXXCAttributeLabel"] = "Email\nAddress";
    field["XC_kAXXCAttributePlaceholderValue"] = "name@example.com";
    builder.write(dir.path());

    const auto run = inspect(dir.path().string());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "UIApplication application name=\"Shop\" frame=(x: 0, y: 0, w: 390, h: 844)\n"
              "  UITextField textField name=\"Email\\nAddress\" state=\"enabled\" text=\"name@example.com\" "
              "frame=(x: 16, y: 120.5, w: 358, h: 44)\n");
    EXPECT_EQ(run.err, "");
}

TEST(InspectCommand, UnreadableBundleIsExitTwoWithOneLine) {
    test::TempDir dir;
    const auto run = inspect((dir.path() / "nothing").string());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "audkit: " + (dir.path() / "nothing").string() + ": no such file or directory\n");

    test::BundleBuilder builder;
    builder.element("app", 2, nullptr);
    builder.write(dir.path());
    const auto noRoot = inspect(dir.path().string());
    EXPECT_EQ(noRoot.status, 2);
    EXPECT_NE(noRoot.err.find("the attributes of the root element \"app\" cannot be read"), std::string::npos);
}

TEST(InspectCommand, ExecutableReportsUsageErrorsAndInspectsTheExample) {
    const auto usage = runCommand("inspect");
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(std::count(usage.err.begin(), usage.err.end(), '\n'), 1) << usage.err;

    const auto example = runCommand("inspect " + (test::sourceDir() / "examples" / "sign-in").string());
    EXPECT_EQ(example.status, 0) << example.err;
    EXPECT_TRUE(example.out.starts_with("UIApplication application")) << example.out;
    EXPECT_NE(example.out.find("secureTextField"), std::string::npos);
}

}  // namespace
}  // namespace audkit
