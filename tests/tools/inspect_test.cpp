#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "audkit/platform/jpeg_codec.hpp"
#include "audkit/tree/aud_context.hpp"
#include "tests/support/test_support.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

using Run = test::CommandRun;

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
    builder.element(
        "app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844), {"field"}))["XC_kAXXCAttributeLabel"] =
        "Shop";
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

TEST(Executable, VersionAndUnknownCommands) {
    const auto version = runCommand("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "audkit " + audVersion() + "\n");
    const auto bogus = runCommand("bogus");
    EXPECT_EQ(bogus.status, 2);
    EXPECT_EQ(
        bogus.err,
        "audkit: unknown command \"bogus\" (commands: inspect, context, scan, result, import, capture, baseline)\n");
}

TEST(ScanCommand, ExecutableOptsInToDynamicTypeOnlyWhenAsked) {
    const auto bundle = (test::sourceDir() / "examples" / "type-no-slider").string();
    const auto optedIn = runCommand("scan --dynamic-type " + bundle);
    EXPECT_NE(optedIn.out.find("Unable to navigate to StaticText \"Larger Text\""), std::string::npos) << optedIn.err;
    const auto plain = runCommand("scan " + bundle).out;
    EXPECT_EQ(plain.find("Unable to navigate"), std::string::npos) << plain;
    EXPECT_NE(plain.find("not run: SupportsDynamicType (not asked for"), std::string::npos) << plain;
}

TEST(InspectCommand, TreeLinesAndJson) {
    test::LogCapture log;
    const auto example = (test::sourceDir() / "examples" / "sign-in").string();
    std::ostringstream out, err;
    ASSERT_EQ(cli::runInspect({example, true, false}, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("UISwitch switch control name=\"Remember me\" focusable=true visible=true "
                             "bounds=(l: 969, t: 1388.01, r: 1122, b: 1481.01) associatedText=\"Remember me\""),
              std::string::npos)
        << out.str();

    std::ostringstream json;
    ASSERT_EQ(cli::runInspect({example, true, true}, json, err), 0);
    const auto tree = nlohmann::json::parse(json.str());
    EXPECT_EQ(tree["className"], "UIApplication");
    EXPECT_EQ(tree["children"][0]["children"][1]["isHeaderOrFooter"], true);  // the navigation bar
}

TEST(InspectCommand, TextListsRecognisedLinesInPoints) {
    const auto example = (test::sourceDir() / "examples" / "sign-in").string();
    const auto run = runCommand("inspect --text " + example);
    ASSERT_EQ(run.status, 0) << run.err;
    // The button's title, on its filled shape, where the page draws it (x 163-227, y 562-584 pt).
    const auto line = run.out.find("\"Sign in\" frame=(x: 16");
    ASSERT_NE(line, std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"Welcome back\""), std::string::npos);

    const auto withTree = runCommand("inspect --text --tree " + example);
    EXPECT_EQ(withTree.status, 2);
    const auto wrongLanguage = runCommand("inspect --text --lang xx_none " + example);
    EXPECT_EQ(wrongLanguage.status, 2);
    EXPECT_NE(wrongLanguage.err.find("tesseract-ocr-xx-none"), std::string::npos) << wrongLanguage.err;
}

TEST(ContextCommand, PrintsMetadataDeviceAndScreenshot) {
    test::LogCapture log;
    const auto example = (test::sourceDir() / "examples" / "sign-in").string();
    std::ostringstream out, err;
    ASSERT_EQ(cli::runContext({example, false}, out, err), 0) << err.str();
    EXPECT_TRUE(out.str().starts_with("<AudMetaData appId=\"com.example.shop.Shop\" analysisTimestamp=\""));
    EXPECT_NE(out.str().find("Device: iPhone 15, iOS 17.2, screen 1170 x 2532 pixels at scale 3\n"
                             "Screenshot: 1170 x 2532 pixels (full screen)\n"),
              std::string::npos)
        << out.str();

    std::ostringstream json;
    ASSERT_EQ(cli::runContext({example, true}, json, err), 0);
    const auto context = nlohmann::json::parse(json.str());
    EXPECT_EQ(context["audMetaData"]["screenTitle"], "Sign In");

    test::TempDir dir;
    std::ostringstream none, message;
    EXPECT_EQ(cli::runContext({(dir.path() / "missing").string(), false}, none, message), 2);
    const auto reason = message.str();
    EXPECT_EQ(std::count(reason.begin(), reason.end(), '\n'), 1) << reason;
}

}  // namespace
}  // namespace audkit

namespace audkit {
namespace {

// Inputs that once hung, aborted or printed the JSON library's raw text: every
// command now answers exit 2 with one line naming the file.
TEST(CommandInputs, BadBundlesAreOneLineAndExitTwoForEveryCommand) {
    test::LogCapture log;
    test::TempDir dir;
    test::BundleBuilder builder;
    builder.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844)));
    builder.write(dir.path());
    const auto capture = dir.path() / "capture.json";
    const auto bundle = dir.path().string();
    const auto allCommands = [&](const std::string& expected) {
        std::ostringstream out, err;
        EXPECT_EQ(cli::runInspect({bundle, false, false}, out, err), 2);
        EXPECT_EQ(cli::runContext({bundle, false}, out, err), 2);
        cli::ScanOptions scan;
        scan.bundles = {bundle};
        EXPECT_EQ(cli::runScan(scan, {}, out, err), 2);
        const auto lines = err.str();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3) << lines;
        EXPECT_NE(lines.find(expected), std::string::npos) << lines;
    };

    // A number out of range names the file.
    auto text = test::readFile(capture);
    const auto scale = text.find("\"scale\"");
    ASSERT_NE(scale, std::string::npos);
    std::ofstream(capture) << text.substr(0, scale) + "\"scale\": 1e400, \"unused\"" + text.substr(scale + 7);
    allCommands("capture.json: not valid JSON");

    // A screenshot that is a directory, or a pipe that would never end.
    builder.write(dir.path());
    std::filesystem::remove(dir.path() / "screenshot.png");
    std::filesystem::create_directory(dir.path() / "screenshot.png");
    std::ostringstream out, err;
    EXPECT_EQ(cli::runContext({bundle, false}, out, err), 2);
    EXPECT_NE(err.str().find("the screenshot is not a regular file"), std::string::npos) << err.str();
    std::filesystem::remove(dir.path() / "screenshot.png");
    ASSERT_EQ(::mkfifo((dir.path() / "screenshot.png").c_str(), 0600), 0);
    cli::ScanOptions scan;
    scan.bundles = {bundle};
    EXPECT_EQ(cli::runScan(scan, {}, out, err), 2);
    EXPECT_NE(err.str().find("the screenshot is not a regular file"), std::string::npos) << err.str();

    // A JPEG under the PNG's name, and a small PNG that claims more pixels
    // than any device screen has.
    std::filesystem::remove(dir.path() / "screenshot.png");
    RgbaImage image;
    image.width = 4100;
    image.height = 2;
    image.pixels.assign(std::size_t{4100} * 2 * 4, 255);
    std::ofstream(dir.path() / "screenshot.png", std::ios::binary) << encodeJpeg(image, 80);
    std::ostringstream jpeg;
    EXPECT_EQ(cli::runScan(scan, {}, out, jpeg), 2);
    EXPECT_NE(jpeg.str().find("screenshot.png: JPEG found, PNG expected"), std::string::npos) << jpeg.str();
    std::ofstream(dir.path() / "screenshot.png", std::ios::binary | std::ios::trunc) << encodePng(image);
    std::ostringstream wide;
    EXPECT_EQ(cli::runScan(scan, {}, out, wide), 2);
    EXPECT_NE(wide.str().find("PNG image of 4100x2 pixels is larger than the 4096 pixels a side accepted"),
              std::string::npos)
        << wide.str();

    // A scale that is 0 as a float would shrink every frame to nothing; a
    // screenshot path out of the bundle would make the scan read any file.
    for (const auto& [member, expected] :
         {std::pair{nlohmann::json{
                        {"device", {{"name", "x"}, {"systemName", "iOS"}, {"systemVersion", "17"}, {"scale", 1e-300}}}},
                    "\"device.scale\" must be a number of pixels per point from 0.1 to 100"},
          std::pair{nlohmann::json{{"screenshot", "../elsewhere.png"}}, "must name a file inside the bundle"},
          std::pair{nlohmann::json{{"screenshot", "/etc/hostname"}}, "must name a file inside the bundle"}}) {
        auto hostile = builder;
        hostile.document().update(member);
        hostile.write(dir.path());
        allCommands(expected);
    }
}

// --config, --baseline and capture.json read regular files only: a FIFO
// would block the scan for ever and /dev/zero fill the memory.
TEST(CommandInputs, ConfigurationAndBaselineAreRegularFiles) {
    test::LogCapture log;
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir.path() / "fifo").c_str(), 0600), 0);
    for (const auto* path : {"/dev/zero", "fifo", "missing.json"}) {
        const auto file = path[0] == '/' ? std::string(path) : (dir.path() / path).string();
        for (const bool baseline : {false, true}) {
            cli::ScanOptions scan;
            scan.bundles = {(test::sourceDir() / "examples" / "sign-in").string()};
            (baseline ? scan.baseline : scan.config) = file;
            std::ostringstream out, err;
            EXPECT_EQ(cli::runScan(scan, {}, out, err), 2) << file;
            EXPECT_NE(err.str().find(file + ": "), std::string::npos) << err.str();
            EXPECT_NE(err.str().find(baseline ? "baseline" : "configuration"), std::string::npos) << err.str();
        }
    }
    // A capture.json that is a folder or a pipe is there, but is no file.
    for (const auto& [made, expected] : {std::pair{"folder", "a folder, not a file"},
                                         std::pair{"pipe", "not a regular file (a pipe, device or socket)"}}) {
        const auto bundle = dir.path() / made;
        std::filesystem::create_directory(bundle);
        if (std::string(made) == "folder")
            std::filesystem::create_directory(bundle / "capture.json");
        else
            ASSERT_EQ(::mkfifo((bundle / "capture.json").c_str(), 0600), 0);
        cli::ScanOptions scan;
        scan.bundles = {bundle.string()};
        std::ostringstream out, err;
        EXPECT_EQ(cli::runScan(scan, {}, out, err), 2);
        EXPECT_NE(err.str().find(expected), std::string::npos) << err.str();
    }
}

// A capture whose frames cannot be read shows nothing on screen: the scan
// examined nothing, which must not read as a pass.
TEST(CommandInputs, AScanThatExaminedNothingIsNoPass) {
    test::LogCapture log;
    test::TempDir dir;
    test::BundleBuilder builder;
    auto& app = builder.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844), {"label"}));
    app["XC_kAXXCAttributeFrame"] = "NaN";
    app["XC_kAXXCAttributeVisibleFrame"] = "NaN";
    auto& label = builder.element("label", 48, test::attributes("UILabel", test::rect(16, 100, 200, 20)));
    label["XC_kAXXCAttributeVisibleFrame"] = "NaN";
    label["XC_kAXXCAttributeLabel"] = "Total";
    builder.write(dir.path());
    cli::ScanOptions scan;
    scan.bundles = {dir.path().string()};
    std::ostringstream out, err;
    EXPECT_EQ(cli::runScan(scan, {}, out, err), 2);
    EXPECT_NE(err.str().find("no element of the capture is visible on the screen"), std::string::npos) << err.str();
    EXPECT_TRUE(out.str().empty());

    // An application showing a picker alone (pickers are not judged): nothing examined either.
    test::TempDir pickerOnly;
    test::BundleBuilder screen;
    screen.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844), {"picker"}));
    screen.element("picker", 38, test::attributes("UIPickerView", test::rect(0, 600, 390, 216), {"wheel"}));
    screen.element("wheel", 39, test::attributes("UIPickerWheel", test::rect(0, 600, 390, 216)));
    screen.write(pickerOnly.path());
    scan.bundles = {pickerOnly.path().string()};
    std::ostringstream pickerOut, pickerErr;
    EXPECT_EQ(cli::runScan(scan, {}, pickerOut, pickerErr), 2) << pickerOut.str();
    EXPECT_NE(pickerErr.str().find("only pickers, which are not judged"), std::string::npos) << pickerErr.str();

    // Views that all lie beyond the screenshot (a tree recorded on another screen) showed nothing.
    test::TempDir offScreen;
    test::BundleBuilder beyond;
    beyond.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844), {"total", "pay"}));
    beyond.element("total", 48, test::attributes("UILabel", test::rect(16, 100, 200, 20)))["XC_kAXXCAttributeLabel"] =
        "Total";
    beyond.element("pay", 48, test::attributes("UILabel", test::rect(16, 200, 200, 44)))["XC_kAXXCAttributeLabel"] =
        "Pay";
    beyond.write(offScreen.path());
    scan.bundles = {offScreen.path().string()};
    std::ostringstream offOut, offErr;
    EXPECT_EQ(cli::runScan(scan, {}, offOut, offErr), 2) << offOut.str();
    EXPECT_NE(offErr.str().find("every visible element lies outside the screen (2 of them, beyond the 4 x 8 px"),
              std::string::npos)
        << offErr.str();
}

// Output files are written to a new file of their own beside the target: a
// link planted at "<file>.partial" is neither followed nor removed, a folder
// in the target's place is a clear error, and no temporary file stays behind.
TEST(CommandInputs, OutputFilesNeverWriteThroughOrLeaveWhatTheyFind) {
    test::LogCapture log;
    test::TempDir dir;
    const auto victim = dir.path() / "victim.txt";
    std::ofstream(victim) << "precious";
    const auto report = dir.path() / "report.xml";
    std::filesystem::create_symlink(victim, report.string() + ".partial");
    const auto example = (test::sourceDir() / "examples" / "sign-in").string();
    cli::ScanOptions scan;
    scan.bundles = {example};
    scan.junit = report.string();
    scan.output = (dir.path() / "folder").string();
    std::filesystem::create_directory(scan.output);
    std::ostringstream out, err;
    EXPECT_EQ(cli::runScan(scan, {}, out, err), 2);
    EXPECT_NE(err.str().find("cannot write " + scan.output + ": "), std::string::npos) << err.str();
    scan.output.clear();
    std::ostringstream written, writtenErr;
    EXPECT_EQ(cli::runScan(scan, {}, written, writtenErr), 1) << writtenErr.str();
    EXPECT_EQ(test::readFile(victim), "precious");
    EXPECT_TRUE(std::filesystem::is_symlink(report.string() + ".partial"));
    EXPECT_NE(test::readFile(report).find("<testsuites"), std::string::npos);

    // An import leaves a folder it finds at "<bundle>.partial" alone.
    const auto bundle = dir.path() / "bundle";
    std::filesystem::create_directories(bundle.string() + ".partial");
    std::ofstream(bundle.string() + ".partial/mine.txt") << "mine";
    const auto dump = dir.path() / "source.xml";
    std::ofstream(dump) << R"(<XCUIElementTypeApplication type="XCUIElementTypeApplication" x="0" y="0" )"
                           R"(width="390" height="844"/>)";
    std::ostringstream imported, importErr;
    ASSERT_EQ(cli::runImport({dump.string(), "", bundle.string()}, imported, importErr), 0) << importErr.str();
    EXPECT_EQ(test::readFile(bundle.string() + ".partial/mine.txt"), "mine");

    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 7U);  // victim, report, planted link, folder, dump, bundle, planted folder
}

}  // namespace
}  // namespace audkit
