#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "audkit/platform/capture_bundle.hpp"
#include "audkit/platform/jpeg_codec.hpp"
#include "audkit/platform/png_codec.hpp"
#include "audkit/rules/aud_result.hpp"
#include "audkit/tree/aud_element_type.hpp"
#include "tests/support/test_support.hpp"
#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/import/element_types.hpp"

namespace audkit {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

using Run = test::CommandRun;

Run import(const fs::path& dump, const fs::path& output, const fs::path& screenshot = {}) {
    std::ostringstream out, err;
    const int status = cli::runImport({dump.string(), screenshot.string(), output.string()}, out, err);
    return {status, out.str(), err.str()};
}

Run scan(const fs::path& bundle) {
    cli::ScanOptions options;
    options.bundles = {bundle.string()};
    options.format = "json";
    std::ostringstream out, err;
    const int status = cli::runScan(options, {}, out, err);
    return {status, out.str(), err.str()};
}

// Dumps published by others, read where they are kept (never copied here).
fs::path realScreens() { return test::sourceDir().parent_path() / "shared" / "real-screens"; }

fs::path write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

json capture(const fs::path& bundle) { return json::parse(test::readFile(bundle / "capture.json")); }

// The element records of a capture with this label.
std::vector<json> withLabel(const json& document, const std::string& label) {
    std::vector<json> found;
    for (const auto& [id, record] : document["elements"].items())
        if (record["attributes"].value("XC_kAXXCAttributeLabel", "") == label) found.push_back(record);
    return found;
}

// Every dump imports into a bundle the reader opens, and every bundle scans:
// the two with screenshots find text on them. A screen that is the system's
// alone (SpringBoard's alert) examines nothing and says why.
TEST(ImportRealScreens, EveryDumpImportsAndScans) {
    if (!fs::exists(realScreens())) GTEST_SKIP() << realScreens() << " is not here";
    test::LogCapture log;
    test::TempDir out;
    std::size_t dumps = 0;
    for (const auto& entry : fs::recursive_directory_iterator(realScreens())) {
        const auto extension = entry.path().extension();
        if (extension != ".xml" && extension != ".txt") continue;
        ++dumps;
        const auto name = entry.path().stem().string();
        auto screenshot = entry.path();
        screenshot.replace_extension(".png");
        const bool withScreenshot = fs::exists(screenshot);
        const auto bundle = out.path() / name;
        const auto imported = import(entry.path(), bundle, withScreenshot ? screenshot : fs::path());
        ASSERT_EQ(imported.status, 0) << name << ": " << imported.err;
        EXPECT_NO_THROW(CaptureBundle::open(bundle)) << name;

        const auto scanned = scan(bundle);
        if (scanned.status == 2 && scanned.err.find("every visible element is the system's") != std::string::npos)
            continue;
        ASSERT_TRUE(scanned.status == 0 || scanned.status == 1) << name << ": " << scanned.err;
        const auto result = json::parse(scanned.out);
        std::size_t textResults = 0;
        for (const auto& ruleResult : result["audRuleResults"])
            if (ruleResult["ruleId"] == "ColorContrast" || ruleResult["ruleId"] == "FocusableText") ++textResults;
        if (withScreenshot) {
            EXPECT_GT(textResults, 0U) << name;
            EXPECT_TRUE(result["audContext"].contains("screenshot")) << name;
        } else {
            EXPECT_EQ(textResults, 0U) << name;
            EXPECT_NE(scanned.err.find("ColorContrast was not run: no screenshot was captured"), std::string::npos)
                << name;
            EXPECT_FALSE(result["audContext"].contains("screenshot")) << name;
            EXPECT_EQ(resultFromJson(result)->audRuleResults.size(), result["audRuleResults"].size()) << name;
        }
    }
    EXPECT_GE(dumps, 23U);
}

TEST(ImportRealScreens, SpotChecks) {
    if (!fs::exists(realScreens())) GTEST_SKIP() << realScreens() << " is not here";
    test::LogCapture log;
    test::TempDir out;

    // A Settings row of an older page source: a cell, which the dump does not
    // call a button, so neither does the capture; what was inferred says so.
    ASSERT_EQ(import(realScreens() / "appium_xml" / "shirates_ios_settings_top.xml", out.path() / "settings").status,
              0);
    const auto general = withLabel(capture(out.path() / "settings"), "General");
    ASSERT_FALSE(general.empty());
    EXPECT_EQ(general[0]["rawType"], 75);
    EXPECT_EQ(general[0]["attributes"]["XC_kAXXCAttributeTraits"].get<std::uint64_t>() & 0x1, 0U);
    EXPECT_FALSE(general[0]["attributes"].contains("XC_kAXXCAttributeIdentifier"));  // name == label
    EXPECT_EQ(general[0]["provenance"]["source"], "line 29");
    EXPECT_TRUE(general[0]["provenance"]["inferred"].contains("XC_kAXXCAttributeTraits"));

    // iOS 17's switch trait is the switch-button bit; the status bar and the
    // scroll indicators (listed twice) are the system's.
    ASSERT_EQ(
        import(realScreens() / "appium_xml_traits" / "mobster_ios26_daybreak_today_toggles.xml", out.path() / "toggles")
            .status,
        0);
    const auto toggles = capture(out.path() / "toggles");
    const auto water = withLabel(toggles, "Drink water");
    ASSERT_FALSE(water.empty());
    EXPECT_EQ(water[0]["attributes"]["XC_kAXXCAttributeTraits"], 0x20000000000000ULL | 0x1);
    EXPECT_FALSE(water[0]["provenance"]["inferred"].contains("XC_kAXXCAttributeTraits"));
    const auto indicators = withLabel(toggles, "Vertical scroll bar, 1 page");
    ASSERT_EQ(indicators.size(), 2U);
    for (const auto& indicator : indicators) EXPECT_EQ(indicator["provenance"]["systemElement"], "a scroll indicator");

    // The iOS 26 source names traits and identifiers itself.
    ASSERT_EQ(
        import(realScreens() / "appium_xml_traits" / "mobster_ios26_settings_root.xml", out.path() / "ios26").status,
        0);
    bool generalButton = false;
    for (const auto& record : withLabel(capture(out.path() / "ios26"), "General"))
        generalButton |= record["rawType"] == 9 &&
                         record["attributes"]["XC_kAXXCAttributeIdentifier"] == "com.apple.settings.general" &&
                         record["attributes"]["XC_kAXXCAttributeTraits"] == (0x1 | 0x40);
    EXPECT_TRUE(generalButton);

    // The notification alert keeps its two buttons.
    ASSERT_EQ(
        import(realScreens() / "appium_xml" / "sioeye_springboard_notification_alert.xml", out.path() / "alert").status,
        0);
    const auto alert = capture(out.path() / "alert");
    EXPECT_EQ(withLabel(alert, "\u201cSioeye\u201d Would Like to Send You Notifications").at(0)["rawType"], 7);
    for (const auto* label : {"Don\u2019t Allow", "Allow"}) {
        const auto buttons = withLabel(alert, label);
        ASSERT_EQ(buttons.size(), 1U) << label;
        EXPECT_EQ(buttons[0]["rawType"], 9) << label;
    }

    // The SwiftUI button is 20 points tall: too small a target.
    ASSERT_EQ(
        import(realScreens() / "xctest_debugdescription" / "ax_helloworld_swiftui.txt", out.path() / "hello").status,
        0);
    const auto button = withLabel(capture(out.path() / "hello"), "Tap me!").at(0);
    EXPECT_FLOAT_EQ(button["attributes"]["XC_kAXXCAttributeFrame"]["Height"].get<float>(), 20.3F);
    const auto result = json::parse(scan(out.path() / "hello").out);
    bool tooSmall = false;
    for (const auto& ruleResult : result["audRuleResults"])
        tooSmall |= ruleResult["ruleId"] == "TouchTargetSize" && ruleResult["status"] == "FAIL" &&
                    ruleResult["props"]["className"] == "UIButton";
    EXPECT_TRUE(tooSmall);
}

// Entities, non-ASCII text, frames off the screen or without size, and the
// state a page source gives or leaves out.
TEST(ImportPageSource, KeepsTextAndWorksOutWhatIsOnScreen) {
    test::TempDir dir;
    const auto dump = write(dir.path() / "source.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<AppiumAUT>
<XCUIElementTypeApplication type="XCUIElementTypeApplication" name="Shop" label="Shop" enabled="true" visible="true" x="0" y="0" width="390" height="844">
  <XCUIElementTypeWindow type="XCUIElementTypeWindow" enabled="true" visible="true" x="0" y="0" width="390" height="844">
    <XCUIElementTypeStaticText type="XCUIElementTypeStaticText" name="Caf&#233; &amp; &quot;Bar&quot;" label="Caf&#233; &amp; &quot;Bar&quot;" enabled="true" visible="true" x="16" y="100" width="200" height="20"/>
    <XCUIElementTypeButton type="XCUIElementTypeButton" name="buy" label="購入" enabled="false" visible="true" x="16" y="140" width="80" height="44"/>
    <XCUIElementTypeScrollView type="XCUIElementTypeScrollView" enabled="true" visible="true" x="0" y="200" width="390" height="300">
      <XCUIElementTypeButton type="XCUIElementTypeButton" name="Half" label="Half" enabled="true" x="0" y="480" width="100" height="40"/>
      <XCUIElementTypeButton type="XCUIElementTypeButton" name="Gone" label="Gone" enabled="true" x="0" y="900" width="100" height="40"/>
    </XCUIElementTypeScrollView>
    <XCUIElementTypeOther type="XCUIElementTypeOther" enabled="true" visible="true" x="10" y="10" width="0" height="0"/>
    <XCUIElementTypeButton type="XCUIElementTypeButton" name="Hidden" label="Hidden" enabled="true" visible="false" x="0" y="600" width="100" height="40"/>
  </XCUIElementTypeWindow>
</XCUIElementTypeApplication>
</AppiumAUT>
)");
    ASSERT_EQ(import(dump, dir.path() / "bundle").status, 0);
    const auto document = capture(dir.path() / "bundle");
    EXPECT_TRUE(document["screenshot"].is_null());

    const auto text = withLabel(document, "Caf\u00e9 & \"Bar\"").at(0)["attributes"];
    EXPECT_EQ(text["XC_kAXXCAttributeElementType"], "UILabel");
    EXPECT_EQ(text["XC_kAXXCAttributeIsElement"], 1);

    const auto buy = withLabel(document, "購入").at(0)["attributes"];
    EXPECT_EQ(buy["XC_kAXXCAttributeIdentifier"], "buy");
    EXPECT_EQ(buy["XC_kAXXCAttributeTraits"], 0x1 | 0x100);  // a button, not enabled
    EXPECT_EQ(buy["XC_kAXXCAttributeIsUserInteractionEnabled"], 0);

    // Clipped by the scroll view; wholly outside it, not on screen at all.
    const auto half = withLabel(document, "Half").at(0)["attributes"];
    EXPECT_EQ(half["XC_kAXXCAttributeVisibleFrame"], (json{{"X", 0}, {"Y", 480}, {"Width", 100}, {"Height", 20}}));
    EXPECT_EQ(half["XC_kAXXCAttributeIsVisible"], 1);
    const auto gone = withLabel(document, "Gone").at(0)["attributes"];
    EXPECT_TRUE(gone["XC_kAXXCAttributeVisibleFrame"].is_null());
    EXPECT_EQ(gone["XC_kAXXCAttributeIsVisible"], 0);
    const auto hidden = withLabel(document, "Hidden").at(0)["attributes"];
    EXPECT_TRUE(hidden["XC_kAXXCAttributeVisibleFrame"].is_null());
    EXPECT_EQ(hidden["XC_kAXXCAttributeIsVisible"], 0);

    // A frame without size stays where it is, with an empty visible frame.
    std::size_t sizeless = 0;
    for (const auto& [id, record] : document["elements"].items()) {
        if (record["rawType"] != 1 || record["attributes"]["XC_kAXXCAttributeFrame"]["Width"] != 0) continue;
        ++sizeless;
        EXPECT_EQ(record["attributes"]["XC_kAXXCAttributeVisibleFrame"],
                  (json{{"X", 10}, {"Y", 10}, {"Width", 0}, {"Height", 0}}));
    }
    EXPECT_EQ(sizeless, 1U);

    const auto scanned = scan(dir.path() / "bundle");
    EXPECT_TRUE(scanned.status == 0 || scanned.status == 1) << scanned.err;
    // The dump scans as it is, imported on the way, with the same verdicts
    // and nothing left behind beside it.
    auto direct = scan(dump);
    EXPECT_EQ(direct.status, scanned.status) << direct.err;
    EXPECT_EQ(json::parse(direct.out)["audRuleResults"].size(), json::parse(scanned.out)["audRuleResults"].size());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

    // The tree of a capture without pixels is shown without complaint: the
    // screen is the root's frame, as the scan takes it.
    test::LogCapture log;
    std::ostringstream tree, treeErr;
    EXPECT_EQ(cli::runInspect({(dir.path() / "bundle").string(), true, false}, tree, treeErr), 0) << treeErr.str();
    for (const auto& line : log.lines()) EXPECT_EQ(line.find("screenshot"), std::string::npos) << line;
}

// Two elements with one name are two elements; a tree in which nothing is on
// screen imports, and its scan says that nothing was examined.
TEST(ImportPageSource, DuplicateNamesAndEmptyScreens) {
    test::LogCapture log;
    test::TempDir dir;
    const auto twins =
        write(dir.path() / "twins.xml",
              R"(<XCUIElementTypeApplication type="XCUIElementTypeApplication" x="0" y="0" width="390" height="844">
  <XCUIElementTypeButton type="XCUIElementTypeButton" name="Add" label="Add" x="16" y="100" width="80" height="44"/>
  <XCUIElementTypeButton type="XCUIElementTypeButton" name="Add" label="Add" x="16" y="200" width="80" height="44"/>
</XCUIElementTypeApplication>)");
    ASSERT_EQ(import(twins, dir.path() / "twins").status, 0);
    EXPECT_EQ(withLabel(capture(dir.path() / "twins"), "Add").size(), 2U);

    const auto empty = write(
        dir.path() / "empty.xml",
        R"(<XCUIElementTypeApplication type="XCUIElementTypeApplication" visible="false" x="0" y="0" width="390" height="844">
  <XCUIElementTypeOther type="XCUIElementTypeOther" visible="false" x="0" y="0" width="390" height="844"/>
</XCUIElementTypeApplication>)");
    ASSERT_EQ(import(empty, dir.path() / "empty").status, 0);
    const auto scanned = scan(dir.path() / "empty");
    EXPECT_EQ(scanned.status, 2);
    EXPECT_NE(scanned.err.find("nothing was examined"), std::string::npos) << scanned.err;
}

// A page source scanned directly takes the screenshot given with it, or the
// one beside it by name; a bundle, which has its own, refuses one.
TEST(ImportPageSource, AScanTakesTheScreenshotGiven) {
    test::LogCapture log;
    test::TempDir dir;
    const auto page =
        write(dir.path() / "page.xml",
              R"(<XCUIElementTypeApplication type="XCUIElementTypeApplication" x="0" y="0" width="390" height="844">
  <XCUIElementTypeButton type="XCUIElementTypeButton" name="Add" label="Add" x="16" y="100" width="80" height="44"/>
</XCUIElementTypeApplication>)");
    write(dir.path() / "shot.png",
          encodePng(RgbaImage{390, 844, std::vector<std::uint8_t>(std::size_t{390} * 844 * 4, 255)}));
    const auto scanWith = [&](const fs::path& screen, const std::string& screenshot) {
        cli::ScanOptions options;
        options.bundles = {screen.string()};
        options.screenshot = screenshot;
        std::ostringstream out, err;
        const int status = cli::runScan(options, {}, out, err);
        return test::CommandRun{status, out.str(), err.str()};
    };
    const std::string noScreenshot = "ColorContrast (no screenshot was captured)";
    const auto without = scanWith(page, "");
    EXPECT_NE(without.out.find(noScreenshot), std::string::npos) << without.out << without.err;
    const auto with = scanWith(page, (dir.path() / "shot.png").string());
    EXPECT_NE(with.status, 2) << with.err;
    EXPECT_EQ(with.out.find(noScreenshot), std::string::npos) << with.out;
    const auto bundle = scanWith(test::sourceDir() / "examples" / "sign-in", (dir.path() / "shot.png").string());
    EXPECT_EQ(bundle.status, 2);
    EXPECT_NE(bundle.err.find("--screenshot takes one page source or debug description"), std::string::npos)
        << bundle.err;

    // "-" reads the dump from standard input, once.
    std::istringstream piped(test::readFile(page));
    auto* saved = std::cin.rdbuf(piped.rdbuf());
    const auto fromInput = scanWith("-", (dir.path() / "shot.png").string());
    std::cin.rdbuf(saved);
    EXPECT_NE(fromInput.status, 2) << fromInput.err;
    EXPECT_TRUE(fromInput.out.starts_with("-: 1 failures, 0 incomplete, 7 passes; 1 views examined")) << fromInput.out;
    cli::ScanOptions twice;
    twice.bundles = {"-", "-"};
    std::ostringstream out, err;
    EXPECT_EQ(cli::runScan(twice, {}, out, err), 2);
    EXPECT_NE(err.str().find("can be read only once"), std::string::npos) << err.str();
}

// Safari's own controls and the status bar are the system's: recorded as
// such, counted and left alone by the scan unless it is asked to judge them.
// A trait a newer system introduced is kept and reported, not a refusal.
TEST(ImportPageSource, MarksSystemUIAndKeepsUnknownTraits) {
    test::LogCapture log;
    test::TempDir dir;
    const auto dump = write(
        dir.path() / "safari.xml",
        R"(<XCUIElementTypeApplication type="XCUIElementTypeApplication" name="Safari" label="Safari" x="0" y="0" width="320" height="568">
  <XCUIElementTypeWindow type="XCUIElementTypeWindow" x="0" y="0" width="320" height="568">
    <XCUIElementTypeOther type="XCUIElementTypeOther" x="0" y="0" width="320" height="568">
      <XCUIElementTypeButton type="XCUIElementTypeButton" name="URL" label="Address" x="9" y="24" width="302" height="30"/>
      <XCUIElementTypeWebView type="XCUIElementTypeWebView" x="0" y="60" width="320" height="508">
        <XCUIElementTypeLink type="XCUIElementTypeLink" name="Deals" label="Deals" traits="Link, Shiny" x="20" y="100" width="60" height="20"/>
      </XCUIElementTypeWebView>
    </XCUIElementTypeOther>
  </XCUIElementTypeWindow>
  <XCUIElementTypeWindow type="XCUIElementTypeWindow" x="0" y="0" width="320" height="568">
    <XCUIElementTypeStatusBar type="XCUIElementTypeStatusBar" x="0" y="0" width="320" height="20">
      <XCUIElementTypeOther type="XCUIElementTypeOther" name="9:41" label="9:41" x="140" y="0" width="40" height="20"/>
    </XCUIElementTypeStatusBar>
  </XCUIElementTypeWindow>
</XCUIElementTypeApplication>)");
    const auto imported = import(dump, dir.path() / "bundle");
    ASSERT_EQ(imported.status, 0) << imported.err;
    EXPECT_NE(imported.err.find("line 6: the trait \"Shiny\" is unknown to this version"), std::string::npos)
        << imported.err;
    const auto document = capture(dir.path() / "bundle");
    const auto link = withLabel(document, "Deals").at(0);
    EXPECT_EQ(link["attributes"]["XC_kAXXCAttributeTraits"], 0x2);
    EXPECT_EQ(link["provenance"]["unknownTraits"], json::array({"Shiny"}));
    EXPECT_FALSE(link["provenance"].contains("systemElement"));  // the page is the team's
    EXPECT_EQ(withLabel(document, "Address").at(0)["provenance"]["systemElement"], "Safari's browser controls");
    EXPECT_EQ(withLabel(document, "9:41").at(0)["provenance"]["systemElement"], "the status bar");

    cli::ScanOptions options;
    options.bundles = {(dir.path() / "bundle").string()};
    std::ostringstream out, err;
    EXPECT_EQ(cli::runScan(options, {}, out, err), 1) << err.str();  // the 20-pt link fails
    EXPECT_NE(out.str().find("4 system elements not judged"), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find("Address"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("UIView \"Deals\", line 6 of the dump"), std::string::npos) << out.str();
    options.includeSystem = true;
    std::ostringstream all, allErr;
    cli::runScan(options, {}, all, allErr);
    EXPECT_NE(all.str().find("UIButton \"Address\" (id URL), line 4 of the dump"), std::string::npos) << all.str();
}

TEST(ImportDebugDescription, ReadsQuotedTextFlagsAndNesting) {
    test::TempDir dir;
    const auto dump = write(dir.path() / "po.txt",
                            "Attributes: Application, pid: 1, label: 'Shop'\n"
                            "Element subtree:\n"
                            " \u2192Application, 0x1, pid: 1, label: 'Shop'\n"
                            "    Window (Main), 0x2, {{0.0, 0.0}, {390.0, 844.0}}\n"
                            "      Button, 0x3, {{10.0, 50.0}, {60.5, 44.0}}, identifier: "
                            "'close', label: 'Don't, stop', Selected, Disabled\n"
                            "        StaticText, 0x4, {{12.0, 60.0}, {40.0, 20.0}}, label: "
                            "'Close'\n"
                            "      TextField, 0x5, {{10.0, 120.0}, {300.0, 40.0}}, value: 3, "
                            "placeholderValue: 'Amount'\n"
                            "Path to element:\n"
                            " \u2192Application, 0x1, pid: 1, label: 'Shop'\n");
    ASSERT_EQ(import(dump, dir.path() / "bundle").status, 0);
    const auto document = capture(dir.path() / "bundle");
    const auto button = withLabel(document, "Don't, stop").at(0);
    EXPECT_EQ(button["attributes"]["XC_kAXXCAttributeIdentifier"], "close");
    EXPECT_EQ(button["attributes"]["XC_kAXXCAttributeTraits"], 0x1 | 0x8 | 0x100);
    EXPECT_EQ(button["attributes"]["XC_kAXXCAttributeFrame"]["Width"], 60.5);
    ASSERT_EQ(button["attributes"]["XC_kAXXCAttributeChildren"].size(), 1U);
    const auto field = document["elements"][document["elements"]["e1"]["attributes"]["XC_kAXXCAttributeChildren"][1]
                                                .get<std::string>()]["attributes"];
    EXPECT_EQ(field["XC_kAXXCAttributeValue"], "3");
    EXPECT_EQ(field["XC_kAXXCAttributePlaceholderValue"], "Amount");
    // The application line has no frame: the screen is its window's.
    EXPECT_EQ(document["elements"]["e0"]["attributes"]["XC_kAXXCAttributeFrame"]["Width"], 390);
}

// Broken or foreign input is exit 2 naming the line or element, and nothing
// is written or overwritten.
TEST(ImportFailures, NameTheLineAndWriteNothing) {
    test::TempDir dir;
    const std::string app =
        R"(<XCUIElementTypeApplication type="XCUIElementTypeApplication" x="0" y="0" width="390" height="844">)";
    const std::vector<std::pair<std::string, std::string>> cases{
        {app + "\n  <XCUIElementTypeButton x=\"1\"\n", "line 2: broken XML"},
        {app + "\n  <XCUIElementTypeGizmo type=\"XCUIElementTypeGizmo\"/>\n</XCUIElementTypeApplication>",
         "line 2: \"XCUIElementTypeGizmo\" is no XCUIElementType"},
        {app + "\n  <XCUIElementTypeButton type=\"XCUIElementTypeButton\" x=\"wide\"/>\n</XCUIElementTypeApplication>",
         "line 2: x=\"wide\" is not a number"},
        {"<html><body/></html>", "line 1: <html> is neither an XCUIElementType nor a UIAutomation element"},
        {"{\"value\": \"<AppiumAUT>\"}", "neither an XML page source"},
        {"Element subtree:\n \u2192Application, 0x1\n    Gadget, 0x2, {{0, 0}, {1, 1}}\n",
         "line 3: \"Gadget\" is no element type"},
        {R"(<XCUIElementTypeApplication type="XCUIElementTypeApplication"/>)", "has no frame with a size"},
        {app + "\n  <XCUIElementTypeButton type=\"XCUIElementTypeButton\" "
               "label=\"Caf\xe9\"/>\n</XCUIElementTypeApplication>",
         "line 2: not UTF-8 text"},
    };
    for (const auto& [text, expected] : cases) {
        const auto dump = write(dir.path() / "dump", text);
        const auto run = import(dump, dir.path() / "bundle");
        EXPECT_EQ(run.status, 2) << text;
        EXPECT_NE(run.err.find(expected), std::string::npos) << text << "\n" << run.err;
        EXPECT_NE(run.err.find(dump.string()), std::string::npos) << run.err;
        EXPECT_FALSE(fs::exists(dir.path() / "bundle")) << text;
    }

    const auto good = write(dir.path() / "good.xml", app + "</XCUIElementTypeApplication>");
    fs::create_directories(dir.path() / "taken");
    write(dir.path() / "taken" / "notes.txt", "mine");
    const auto taken = import(good, dir.path() / "taken");
    EXPECT_EQ(taken.status, 2);
    EXPECT_NE(taken.err.find("already exists and is not an empty folder"), std::string::npos) << taken.err;
    EXPECT_EQ(test::readFile(dir.path() / "taken" / "notes.txt"), "mine");
    // Folders on the way to a new bundle are made.
    EXPECT_EQ(import(good, dir.path() / "new" / "screens" / "bundle").status, 0);

    // A screenshot of another screen is refused; a JPEG one is kept as PNG.
    RgbaImage image;
    image.width = 780, image.height = 400;
    image.pixels.assign(std::size_t{image.width} * image.height * 4, 200);
    write(dir.path() / "wrong.png", encodePng(image));
    const auto wrong = import(good, dir.path() / "bundle", dir.path() / "wrong.png");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("does not show the tree's screen of 390 x 844 points"), std::string::npos) << wrong.err;
    image.height = 1688;
    image.pixels.assign(std::size_t{image.width} * image.height * 4, 200);
    write(dir.path() / "shot.jpg", encodeJpeg(image, 80));
    ASSERT_EQ(import(good, dir.path() / "bundle", dir.path() / "shot.jpg").status, 0);
    EXPECT_EQ(capture(dir.path() / "bundle")["device"]["scale"], 2);
    EXPECT_EQ(decodePng(test::readFile(dir.path() / "bundle" / "screenshot.png")).width, 780U);
}

// The importer's type numbers are the platform's, as the library reads them.
TEST(ImportElementTypes, NumbersAreThePlatforms) {
    for (const auto type : allCases<AudElementType>()) {
        auto name = std::string(toString(type));
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        if (name == "Switch_") name = "Switch";
        EXPECT_EQ(cli::elementTypeNumber(name), static_cast<std::uint64_t>(type)) << name;
    }
    EXPECT_EQ(cli::typeOfUIAutomationTag("UIATableCell"), "Cell");
    EXPECT_FALSE(cli::elementTypeNumber("Gizmo"));
}

}  // namespace
}  // namespace audkit
