#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/support/test_support.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

const std::string example = (test::sourceDir() / "examples" / "sign-in").string();

// The real scan of the example: Tesseract reads the rendered screenshot.
TEST(ScanCommand, ExampleScanFindsTheUnnamedHelpButton) {
    test::LogCapture log;
    test::TempDir dir;
    cli::ScanOptions options;
    options.bundles = {example};
    options.format = "json";
    options.output = (dir.path() / "result.json").string();
    std::ostringstream out, err;
    ASSERT_EQ(cli::runScan(options, {}, out, err), 1) << err.str();
    const auto result = nlohmann::json::parse(out.str());
    EXPECT_EQ(result, nlohmann::json::parse(test::readFile(options.output)));
    EXPECT_EQ(result["scanName"], "Sign In");

    std::vector<std::string> failures;
    for (const auto& ruleResult : result["audRuleResults"])
        if (ruleResult["status"] == "FAIL")
            failures.push_back(ruleResult["ruleId"].get<std::string>() + " " +
                               ruleResult["props"]["className"].get<std::string>());
    // The help button has no name; the switch (51 x 31 pt), the two text buttons (about 18 and 20 pt tall) and
    // the 24-pt help button are smaller than 44 x 44 pt. The text fields (44 pt) and "Sign in" (50 pt) are not.
    // The email field shows the label "Email" beside it but has no accessible name of its own. Its
    // placeholder (#a0a0a6, 2.6:1), "Forgot password?" (#b4b4ba, 2.06:1) and "New here?" (#8e8e93, 3.26:1
    // at 14 pt) are too faint on white.
    EXPECT_EQ(failures, (std::vector<std::string>{
                            "AssociatedText UITextField", "TouchTargetSize UISwitch", "TouchTargetSize UIButton",
                            "TouchTargetSize UIButton", "ActiveControlName UIButton", "TouchTargetSize UIButton",
                            "ColorContrast UITextField", "ColorContrast UIButton", "ColorContrast UILabel"}));

    // Text recognised on the screenshot reached the views.
    std::vector<std::string> detected;
    std::vector<const nlohmann::json*> stack{&result["audContext"]["audView"]};
    while (!stack.empty()) {
        const auto* view = stack.back();
        stack.pop_back();
        if (view->contains("detectedText")) detected.push_back((*view)["detectedText"]);
        for (const auto& child : (*view)["children"]) stack.push_back(&child);
    }
    for (const char* text : {"Email", "Password", "Sign in"})
        EXPECT_NE(std::find(detected.begin(), detected.end(), text), detected.end()) << text;
}

// A screen drawn on one surface: the summary names the cause (no element to
// reach) beside the text that cannot be reached.
TEST(ScanCommand, ADrawnScreenSaysItHasNoElements) {
    test::LogCapture log;
    cli::ScanOptions options;
    options.bundles = {(test::sourceDir() / "examples" / "game-canvas").string()};
    std::ostringstream out, err;
    ASSERT_EQ(cli::runScan(options, {}, out, err), 1) << err.str();
    EXPECT_NE(out.str().find("6 views examined, none of them an accessibility element\n"), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("FAIL UnexposedText (CRITICAL)\n   UIView (id quitDialog)"), std::string::npos)
        << out.str();
}

TEST(ScanCommand, IgnoresAndUsageErrors) {
    test::LogCapture log;
    cli::ScanOptions options;
    options.bundles = {example};
    options.ignoreViews = {"helpButton=ActiveControlName"};
    options.ignore = {"TouchTargetSize", "ColorContrast"};
    options.ignoreViews.push_back("emailField=AssociatedText");
    std::ostringstream out, err;
    EXPECT_EQ(cli::runScan(options, {}, out, err), 0) << out.str();
    EXPECT_TRUE(out.str().starts_with(example + ": 0 failures")) << out.str();
    EXPECT_NE(out.str().find("not run: ColorContrast (switched off)"), std::string::npos) << out.str();
    options.format = "description";  // the library's own text
    std::ostringstream description;
    EXPECT_EQ(cli::runScan(options, {}, description, err), 0);
    EXPECT_TRUE(description.str().starts_with("Zunik Aud Result (Failures: 0")) << description.str();

    for (const auto& bad : std::vector<std::vector<std::string>>{{"--ignore", "NoSuchRule"}, {"--ignore-view", "x"}}) {
        cli::ScanOptions wrong;
        wrong.bundles = {example};
        (bad[0] == "--ignore" ? wrong.ignore : wrong.ignoreViews).push_back(bad[1]);
        std::ostringstream none, reason;
        EXPECT_EQ(cli::runScan(wrong, {}, none, reason), 2);
        EXPECT_NE(reason.str().find(bad[1]), std::string::npos) << reason.str();
    }
}

// Languages: what is asked for is loaded, and a missing model is exit 2
// naming its package, never a scan that silently reads no text of it.
TEST(ScanCommand, LanguagesAreLoadedOrNamedAsMissing) {
    test::LogCapture log;
    cli::ScanOptions options;
    options.bundles = {example};
    options.languages = "eng+jpn";  // installed by the set-up script
    std::ostringstream out, err;
    EXPECT_EQ(cli::runScan(options, {}, out, err), 1) << err.str();

    // The Japanese example is read in Japanese, its words not broken apart
    // by spaces, chosen from the scripts of its labels without --lang; read
    // as English it yields none of them.
    auto japanese = options;
    japanese.bundles = {(test::sourceDir() / "examples" / "settings-ja").string()};
    japanese.format = "json";
    japanese.languages = "";
    std::ostringstream read, readErr, english, englishErr;
    ASSERT_NE(cli::runScan(japanese, {}, read, readErr), 2) << readErr.str();
    for (const char* text : {"\"Detected Text\": \"プレビューを表示\"", "\"Detected Text\": \"自宅のネットワーク\""})
        EXPECT_NE(read.str().find(text), std::string::npos) << text;
    japanese.languages = "eng";
    ASSERT_NE(cli::runScan(japanese, {}, english, englishErr), 2);
    EXPECT_EQ(english.str().find("\"Detected Text\": \"プレビューを表示\""), std::string::npos);

    // A model folder holding English alone.
    test::TempDir tessdata;
    std::filesystem::copy_file("/usr/share/tesseract-ocr/5/tessdata/eng.traineddata",
                               tessdata.path() / "eng.traineddata");
    ::setenv("TESSDATA_PREFIX", tessdata.path().c_str(), 1);
    options.languages = "eng+jpn+chi_sim";
    std::ostringstream none, missing;
    const int status = cli::runScan(options, {}, none, missing);
    options.bundles = {example, example};
    std::ostringstream batchOut, batchErr;
    const int batchStatus = cli::runScan(options, {}, batchOut, batchErr);
    // Chosen from the screen, a model that is not there is named, and the
    // scan goes on with the rest.
    japanese.format = "text";
    japanese.languages = "";
    std::ostringstream chosenOut, chosenErr;
    const int chosenStatus = cli::runScan(japanese, {}, chosenOut, chosenErr);
    ::unsetenv("TESSDATA_PREFIX");
    EXPECT_EQ(chosenStatus, 1) << chosenErr.str();
    EXPECT_NE(chosenErr.str().find("examples/settings-ja: its text is written in jpn, whose Tesseract model is not "
                                   "installed: read without it (apt-get install tesseract-ocr-jpn)\n"),
              std::string::npos)
        << chosenErr.str();
    EXPECT_EQ(status, 2);
    EXPECT_EQ(missing.str(),
              "audkit: The Tesseract language model jpn, chi_sim could not be loaded: install tesseract-ocr-jpn "
              "tesseract-ocr-chi-sim, or point TESSDATA_PREFIX at a tessdata folder that holds it\n");
    EXPECT_TRUE(none.str().empty());
    EXPECT_EQ(batchStatus, 2);
    EXPECT_NE(batchErr.str().find("install tesseract-ocr-jpn"), std::string::npos) << batchErr.str();

    options.bundles = {example};
    options.languages = "eng+../../tmp/x";
    std::ostringstream odd, oddErr;
    EXPECT_EQ(cli::runScan(options, {}, odd, oddErr), 2);
    EXPECT_NE(oddErr.str().find("is no list of Tesseract languages"), std::string::npos) << oddErr.str();
}

}  // namespace
}  // namespace audkit
