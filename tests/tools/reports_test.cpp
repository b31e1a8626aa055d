#include <gtest/gtest.h>

#include <fstream>
#include <new>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "audkit/platform/png_codec.hpp"
#include "tests/support/test_support.hpp"
#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

const std::string example = (test::sourceDir() / "examples" / "sign-in").string();

using Run = test::CommandRun;

Run scan(cli::ScanOptions options) {
    std::ostringstream out, err;
    const int status = cli::runScan(options, {}, out, err);
    return {status, out.str(), err.str()};
}

// What a shell command printed, and its exit status.
std::pair<int, std::string> shell(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {-1, ""};
    char buffer[4096];
    while (const auto read = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, read);
    const int status = ::pclose(pipe);
    return {WEXITSTATUS(status), output};
}

// The frame of the element with this label in the capture, in points.
json capturedFrame(const std::string& bundle, const std::string& label) {
    const auto capture = json::parse(test::readFile(fs::path(bundle) / "capture.json"));
    for (const auto& [id, record] : capture["elements"].items())
        if (record["attributes"].value("XC_kAXXCAttributeLabel", "") == label)
            return record["attributes"]["XC_kAXXCAttributeFrame"];
    return {};
}

std::string rounded(double value) {
    std::ostringstream text;
    text << std::round(value * 100) / 100;
    return text.str();
}

// Each finding names its rule, status and impact, the element, its frame in
// the capture's points (not the screenshot's pixels) and the rule's message.
TEST(TextReport, NamesEachFindingsElementAndFrame) {
    test::LogCapture log;
    cli::ScanOptions options;
    options.bundles = {example};
    const auto run = scan(options);
    ASSERT_EQ(run.status, 1) << run.err;
    EXPECT_TRUE(run.out.starts_with(example + ": 9 failures, 1 incomplete")) << run.out;
    const auto frame = capturedFrame(example, "Forgot password?");
    ASSERT_FALSE(frame.is_null());
    const auto element = "   UIButton \"Forgot password?\" at " + rounded(frame["X"].get<double>()) + ", " +
                         rounded(frame["Y"].get<double>()) + ", " + rounded(frame["Width"].get<double>()) + " x " +
                         rounded(frame["Height"].get<double>()) + " pt\n";
    const auto at = run.out.find(element);
    ASSERT_NE(at, std::string::npos) << element << run.out;
    const auto header = run.out.rfind("\n#", at);
    EXPECT_EQ(run.out.substr(header + 1, at - header - 1).substr(run.out.substr(header + 1).find(' ')),
              " FAIL TouchTargetSize (MODERATE)\n");
    EXPECT_NE(run.out.find("minimum of 44pt by 44pt", at), std::string::npos);
    // The contrast failure shows the colour pair that decided it.
    EXPECT_NE(run.out.find("   colours: #"), std::string::npos) << run.out;
    std::size_t numbered = 0;
    for (std::size_t line = run.out.find("\n#"); line != std::string::npos; line = run.out.find("\n#", line + 1))
        ++numbered;
    EXPECT_EQ(numbered, 10U);
}

// Boxes sit on the views' frames times the screen's scale: the border of the
// failing button is red there, its inside and the screen elsewhere untouched,
// and the image unavailable for incomplete work is orange.
TEST(AnnotatedScreenshot, BoxesSitOnTheViewsAtTheScreensScale) {
    test::LogCapture log;
    test::TempDir dir;
    cli::ScanOptions options;
    options.bundles = {example};
    options.annotate = (dir.path() / "annotated.png").string();
    ASSERT_EQ(scan(options).status, 1);
    const auto original = decodePng(test::readFile(fs::path(example) / "screenshot.png"));
    const auto annotated = decodePng(test::readFile(options.annotate));
    ASSERT_EQ(annotated.width, original.width);
    ASSERT_EQ(annotated.height, original.height);
    auto pixel = [](const RgbaImage& image, double x, double y) {
        const auto at = (static_cast<std::size_t>(y) * image.width + static_cast<std::size_t>(x)) * 4;
        return std::array<int, 3>{image.pixels[at], image.pixels[at + 1], image.pixels[at + 2]};
    };
    const double scale = 3;
    const auto forgot = capturedFrame(example, "Forgot password?");
    const double left = forgot["X"].get<double>() * scale, top = forgot["Y"].get<double>() * scale;
    const double right = left + forgot["Width"].get<double>() * scale;
    const double bottom = top + forgot["Height"].get<double>() * scale;
    const double middle = (top + bottom) / 2;
    EXPECT_EQ(pixel(annotated, left + 1, middle), (std::array<int, 3>{211, 47, 47}));
    EXPECT_EQ(pixel(annotated, right - 2, middle), (std::array<int, 3>{211, 47, 47}));
    EXPECT_EQ(pixel(annotated, (left + right) / 2, bottom - 1), (std::array<int, 3>{211, 47, 47}));
    EXPECT_EQ(pixel(annotated, left + 20, middle), pixel(original, left + 20, middle));    // inside
    EXPECT_EQ(pixel(annotated, right + 20, middle), pixel(original, right + 20, middle));  // beside
    // The unlabelled logo image (159, 115, 72 x 72 pt) is INCOMPLETE.
    EXPECT_EQ(pixel(annotated, 159 * scale + 1, (115 + 36) * scale), (std::array<int, 3>{239, 108, 0}));

    // Two views with the same top-left corner: the second tag goes inside its
    // box instead of over the first (the grey screen shows through no tag).
    test::BundleBuilder corner;
    corner.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844), {"outer", "inner"}));
    corner.element("outer", 9, test::attributes("UIButton", test::rect(100, 200, 150, 60)));
    corner.element("inner", 9, test::attributes("UIButton", test::rect(100, 200, 40, 40)));
    corner.screenshotPixels = {1170, 2532};
    corner.write(dir.path() / "corner");
    std::ofstream(dir.path() / "corner" / "screenshot.png", std::ios::binary)
        << encodePng(RgbaImage{1170, 2532, std::vector<std::uint8_t>(std::size_t{1170} * 2532 * 4, 128)});
    options.bundles = {(dir.path() / "corner").string()};
    options.annotate = (dir.path() / "corner.png").string();
    const auto cornerRun = scan(options);
    ASSERT_EQ(cornerRun.status, 1) << cornerRun.err;
    const auto tags = decodePng(test::readFile(options.annotate));
    const std::array<int, 3> grey{128, 128, 128};
    // The corner is at 300, 600 px; a tag is 42 px high at 3x.
    EXPECT_NE(pixel(tags, 303, 600 - 42 + 3), grey) << cornerRun.out;  // the first tag, above the corner
    EXPECT_NE(pixel(tags, 303, 603), grey);                            // the second, inside

    // A capture without pixels has nothing to annotate.
    test::BundleBuilder builder;
    builder.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844), {"title"}));
    builder.element("title", 48, test::attributes("UILabel", test::rect(16, 100, 200, 20)))["XC_kAXXCAttributeLabel"] =
        "Cart";
    builder.document()["screenshot"] = nullptr;
    builder.write(dir.path() / "tree");
    options.bundles = {(dir.path() / "tree").string()};
    options.annotate = (dir.path() / "none.png").string();
    const auto none = scan(options);
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("--annotate needs a screenshot, and this capture has none"), std::string::npos) << none.err;
}

// The gate: exit 1 only for failures at or above the impact asked for.
TEST(TextReport, FailOnGatesByImpact) {
    test::LogCapture log;
    cli::ScanOptions options;
    options.bundles = {example};
    options.ignore = {"ActiveControlName", "AssociatedText", "ColorContrast"};  // left: MODERATE touch targets
    options.failOn = "moderate";
    EXPECT_EQ(scan(options).status, 1);
    options.failOn = "serious";
    const auto run = scan(options);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("FAIL TouchTargetSize (MODERATE)"), std::string::npos);  // still reported
    options.failOn = "severe";
    EXPECT_EQ(scan(options).status, 2);
}

// A labelled button, an accessibility element, in a bundle being built.
void addButton(test::BundleBuilder& builder, const std::string& id, const nlohmann::json& frame,
               const std::string& label) {
    auto& button = builder.element(id, 9, test::attributes("UIButton", frame));
    button["XC_kAXXCAttributeLabel"] = label;
    button["XC_kAXXCAttributeTraits"] = 1;
    button["XC_kAXXCAttributeIsElement"] = 1;
}

// A label's control characters (a terminal's escape sequences, C1 controls)
// never reach the terminal through the text report.
TEST(TextReport, LabelsCannotDriveTheTerminal) {
    test::LogCapture log;
    test::TempDir dir;
    test::BundleBuilder builder;
    builder.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844), {"tiny"}));
    addButton(builder, "tiny", test::rect(16, 200, 20, 20), "Pay\x1b]0;owned\x07\x1b[2J now\u009b");
    builder.screenshotPixels = {1170, 2532};
    builder.write(dir.path());
    cli::ScanOptions options;
    options.bundles = {dir.path().string()};
    const auto run = scan(options);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.out.find("UIButton \"Pay\uFFFD]0;owned\uFFFD\uFFFD[2J now\uFFFD\""), std::string::npos) << run.out;
    for (const char c : run.out) EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
    EXPECT_EQ(run.out.find("\u009b"), std::string::npos);
}

// Running out of memory (a capture of a million views) says so, not only
// the library's "std::bad_alloc".
TEST(TextReport, OutOfMemorySaysSo) {
    EXPECT_NE(cli::failureLine(std::bad_alloc()).find("out of memory"), std::string::npos);
}

// An experimental rule's failure is reported as advisory and fails the scan
// only when asked: by the flag or by the configuration file.
TEST(TextReport, ExperimentalFailuresAreAdvisory) {
    test::LogCapture log;
    test::TempDir dir;
    test::BundleBuilder builder;
    builder.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844), {"switch"}));
    auto& loose = builder.element("switch", 40, test::attributes("UISwitch", test::rect(16, 100, 51, 31)));
    loose["XC_kAXXCAttributeTraits"] = 1;  // a switch VoiceOver cannot reach: not an element, no focusable parent
    builder.screenshotPixels = {1170, 2532};
    builder.write(dir.path() / "screen");

    cli::ScanOptions options;
    options.bundles = {(dir.path() / "screen").string()};
    options.ignore = {"TouchTargetSize", "ScreenTitle", "ActiveControlName"};
    options.junit = (dir.path() / "report.xml").string();
    const auto advisory = scan(options);
    EXPECT_EQ(advisory.status, 0) << advisory.out << advisory.err;
    EXPECT_NE(advisory.out.find("FAIL InaccessibleAction (CRITICAL, experimental rule) advisory"), std::string::npos)
        << advisory.out;
    const auto junit = test::readFile(dir.path() / "report.xml");
    EXPECT_NE(junit.find("<skipped message=\"advisory (experimental rule)"), std::string::npos) << junit;
    EXPECT_NE(junit.find("failures=\"0\""), std::string::npos) << junit;

    options.failOnExperimental = true;
    EXPECT_EQ(scan(options).status, 1);
    options.failOnExperimental = false;
    std::ofstream(dir.path() / "audkit.json") << R"({"failOnExperimental": true})";
    options.config = (dir.path() / "audkit.json").string();
    EXPECT_EQ(scan(options).status, 1);
}

// A label with XML's special characters and a control character: the report
// is well-formed (xmllint) and a real JUnit reader finds every judged view,
// FAILs as failures and INCOMPLETEs as skipped.
TEST(JUnitReport, ARealReaderReadsEveryCase) {
    test::LogCapture log;
    test::TempDir dir;
    test::BundleBuilder builder;
    builder.element("app", 2,
                    test::attributes("UIApplication", test::rect(0, 0, 390, 844), {"save", "tiny", "tinier"}));
    addButton(builder, "save", test::rect(16, 100, 200, 44), "Save & \"quit\" <now>\x01\uFFFE\uFFFF");
    addButton(builder, "tiny", test::rect(16, 200, 20, 20), "Tiny");
    addButton(builder, "tinier", test::rect(16, 300, 20, 20), "Tiny");
    builder.screenshotPixels = {1170, 2532};
    builder.write(dir.path());

    cli::ScanOptions options;
    options.bundles = {dir.path().string()};
    options.format = "json";
    options.junit = (dir.path() / "report.xml").string();
    const auto run = scan(options);
    ASSERT_EQ(run.status, 1) << run.err;
    const auto result = json::parse(run.out);

    EXPECT_EQ(shell("xmllint --noout " + options.junit + " 2>&1").first, 0) << test::readFile(options.junit);
    const auto [status, output] =
        shell(std::string(AUDKIT_SYSTEM_PYTHON) + " " + (test::sourceDir() / "tests/tools/read_junit.py").string() +
              " " + options.junit + " 2>&1");
    ASSERT_EQ(status, 0) << output;
    const auto report = json::parse(output);

    std::map<std::string, std::array<int, 3>> expected;  // rule -> tests, failures, skipped
    for (const auto& ruleResult : result["audRuleResults"]) {
        auto& counts = expected[ruleResult["ruleId"].get<std::string>()];
        ++counts[0];
        if (ruleResult["status"] == "FAIL") ++counts[1];
        if (ruleResult["status"] == "INCOMPLETE" || ruleResult["status"] == "IGNORED") ++counts[2];
    }
    // A rule the scan did not run is a skipped case that says why.
    expected["SupportsDynamicType"] = {1, 0, 1};
    ASSERT_EQ(report["suites"].size(), expected.size());
    for (const auto& [rule, counts] : expected) {
        ASSERT_TRUE(report["suites"].contains(rule)) << rule;
        EXPECT_EQ(report["suites"][rule]["tests"], counts[0]) << rule;
        EXPECT_EQ(report["suites"][rule]["failures"], counts[1]) << rule;
        EXPECT_EQ(report["suites"][rule]["skipped"], counts[2]) << rule;
    }
    bool tinyFails = false, labelRead = false, notRunSaid = false;
    // Cases are named by their element alone (no finding number, which moves
    // when anything else is found), and no two share suite and name.
    std::set<std::string> names;
    for (const auto& testCase : report["cases"]) {
        EXPECT_TRUE(
            names.insert(testCase["suite"].get<std::string>() + " " + testCase["name"].get<std::string>()).second)
            << testCase["name"];
        notRunSaid |= testCase["suite"] == "SupportsDynamicType" && testCase["name"] == "not run" &&
                      testCase["result"] == "Skipped" &&
                      testCase["message"].get<std::string>().starts_with("not run: not asked for");
        EXPECT_EQ(testCase["classname"], options.bundles[0]);
        // A case that was not run has no properties.
        const auto property = [&](const char* name) { return testCase["properties"].value(name, ""); };
        tinyFails |= testCase["suite"] == "TouchTargetSize" && testCase["result"] == "Failure" &&
                     testCase["name"] == "UIButton \"Tiny\"" && property("element") == "UIButton \"Tiny\"" &&
                     property("impact") == "MODERATE" && property("frame") == "16, 200, 20 x 20 pt";
        labelRead |= property("element") == "UIButton \"Save & \"quit\" <now>\uFFFD\uFFFD\uFFFD\"";
    }
    EXPECT_TRUE(tinyFails) << output;
    EXPECT_TRUE(notRunSaid) << output;
    EXPECT_TRUE(labelRead) << output;
}

// A batch's SARIF log passes Microsoft's SARIF validator (schema and rules)
// and holds every finding once: a FAIL at its impact's level, an INCOMPLETE to
// review, its rule in the tool's list, the element's place in the tree and the
// baseline's state (sign-in's findings recorded, inbox's new). The GitLab
// report holds the same findings, each with a fingerprint of its own.
TEST(SarifReport, ABatchLogValidatesAndHoldsEveryFinding) {
    test::LogCapture log;
    test::TempDir dir;
    const auto inbox = (test::sourceDir() / "examples" / "inbox").string();
    cli::BaselineOptions recording;
    recording.bundles = {example};
    recording.output = (dir.path() / "baseline.json").string();
    std::ostringstream ignored;
    ASSERT_EQ(cli::runBaseline(recording, ignored, ignored), 0);

    cli::ScanOptions options;
    options.bundles = {example, inbox};
    options.format = "json";
    options.baseline = recording.output;
    options.sarif = (dir.path() / "report.sarif").string();
    options.gitlab = (dir.path() / "quality.json").string();
    const auto run = scan(options);
    ASSERT_EQ(run.status, 1) << run.err;

    const char* installed = std::getenv("AUDKIT_SARIF_MULTITOOL");
    const std::string validator =
        installed ? installed : "/usr/local/share/audkit/test-tools/sarif-multitool/Sarif.Multitool";
    ASSERT_TRUE(fs::exists(validator)) << validator << " is missing: scripts/test.sh fetches it";
    const auto [status, output] = shell("DOTNET_SYSTEM_GLOBALIZATION_INVARIANT=1 " + validator + " validate " +
                                        options.sarif + " -o " + (dir.path() / "validation.sarif").string() + " 2>&1");
    EXPECT_EQ(status, 0) << output;
    EXPECT_EQ(output.find(": error "), std::string::npos) << output;

    const auto sarif = json::parse(test::readFile(options.sarif));
    const auto& sarifRun = sarif["runs"][0];
    std::map<std::string, int> expected, found;  // "screen rule status" -> count
    for (const auto& entry : json::parse(run.out))
        for (const auto& ruleResult : entry["result"]["audRuleResults"])
            if (ruleResult["status"] == "FAIL" || ruleResult["status"] == "INCOMPLETE")
                ++expected[entry["bundle"].get<std::string>() + " " + ruleResult["ruleId"].get<std::string>() + " " +
                           ruleResult["status"].get<std::string>()];
    for (const auto& result : sarifRun["results"]) {
        const auto screen = result["properties"]["screen"].get<std::string>();
        ++found[screen + " " + result["ruleId"].get<std::string>() + " " +
                result["properties"]["status"].get<std::string>()];
        EXPECT_EQ(sarifRun["tool"]["driver"]["rules"][result["ruleIndex"].get<std::size_t>()]["id"], result["ruleId"]);
        EXPECT_EQ(result["baselineState"], screen == example ? "unchanged" : "new") << result.dump();
        EXPECT_EQ(result["level"], result["kind"] == "fail" ? (result["properties"]["impact"] == "MODERATE" ? "warning"
                                                               : result["properties"]["impact"] == "MINOR"  ? "note"
                                                                                                            : "error")
                                                            : "none")
            << result.dump();
        EXPECT_TRUE(result["locations"][0]["logicalLocations"][0]["fullyQualifiedName"].get<std::string>().starts_with(
            "UIApplication[0]/"))
            << result.dump();
    }
    EXPECT_EQ(found, expected);

    const auto quality = json::parse(test::readFile(options.gitlab));
    ASSERT_EQ(quality.size(), sarifRun["results"].size());
    std::set<std::string> fingerprints;
    for (const auto& issue : quality) {
        fingerprints.insert(issue["fingerprint"].get<std::string>());
        EXPECT_TRUE(std::set<std::string>({"info", "minor", "major", "critical"}).contains(issue["severity"]))
            << issue.dump();
        EXPECT_TRUE(issue["location"]["path"].get<std::string>().ends_with("/capture.json")) << issue.dump();
        EXPECT_GE(issue["location"]["lines"]["begin"].get<int>(), 1);
    }
    EXPECT_EQ(fingerprints.size(), quality.size());
}

}  // namespace
}  // namespace audkit
