#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "tests/support/test_support.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

std::size_t count(const std::string& text, const std::regex& pattern) {
    return static_cast<std::size_t>(
        std::distance(std::sregex_iterator(text.begin(), text.end(), pattern), std::sregex_iterator()));
}

// The report of the example in a real browser: every finding has its box
// and its entry, the address's filter hides what it excludes, and a label
// that looks like markup stays text.
TEST(HtmlReport, EveryFindingHasItsBoxAndEntryInABrowser) {
    test::LogCapture log;
    test::TempDir dir;
    // The example, with one label made to look like markup.
    fs::copy(test::sourceDir() / "examples" / "sign-in", dir.path() / "sign-in");
    auto capture = json::parse(test::readFile(dir.path() / "sign-in" / "capture.json"));
    for (auto& [id, record] : capture["elements"].items())
        if (record["attributes"].value("XC_kAXXCAttributeLabel", "") == "Create account")
            record["attributes"]["XC_kAXXCAttributeLabel"] = "<script>document.title='x'</script> & \"more\"";
    std::ofstream(dir.path() / "sign-in" / "capture.json") << capture.dump();

    cli::ScanOptions options;
    options.bundles = {(dir.path() / "sign-in").string()};
    options.format = "json";
    options.html = (dir.path() / "report.html").string();
    std::ostringstream out, err;
    ASSERT_EQ(cli::runScan(options, {}, out, err), 1) << err.str();
    const auto result = json::parse(out.str());
    std::size_t findings = 0, incomplete = 0;
    for (const auto& ruleResult : result["audRuleResults"]) {
        findings += ruleResult["status"] == "FAIL" || ruleResult["status"] == "INCOMPLETE";
        incomplete += ruleResult["status"] == "INCOMPLETE";
    }
    ASSERT_GT(incomplete, 0U);

    const auto page = "file://" + options.html;
    const auto dom = test::chromium(page);
    ASSERT_NE(dom.find("data-ready=\"true\""), std::string::npos) << "the page's script did not run:\n" << dom;
    for (std::size_t number = 1; number <= findings; ++number) {
        const auto n = std::to_string(number);
        // Numbered on the page by screen and finding: the one screen is screen 0.
        EXPECT_EQ(count(dom, std::regex("<li class=\"finding\" data-finding=\"0:" + n + "\"")), 1U) << n;
        EXPECT_EQ(count(dom, std::regex("class=\"box\" data-findings=\"(0:[0-9]+,)*0:" + n + "(,0:[0-9]+)*\"")), 1U)
            << n;
    }
    EXPECT_EQ(count(dom, std::regex("<li class=\"finding\"")), findings);
    // Every card links to its box, every box to a card; the contrast failure
    // shows its colours as swatches with the ratio.
    std::smatch link;
    for (auto at = dom.cbegin();
         std::regex_search(at, dom.cend(), link, std::regex("href=\"#(box|finding)-([0-9-]+)\""));
         at = link.suffix().first)
        EXPECT_NE(dom.find("id=\"" + link[1].str() + "-" + link[2].str() + "\""), std::string::npos) << link[0];
    EXPECT_EQ(count(dom, std::regex("href=\"#box-0-")), findings);
    EXPECT_GE(count(dom, std::regex("<div class=\"pair\"><span class=\"swatch\" style=\"[^\"]+\"></span> #[0-9a-f]{6} "
                                    "on <span class=\"swatch\" style=\"[^\"]+\"></span> #[0-9a-f]{6} [^ ]+ [0-9.]+:1")),
              1U);
    EXPECT_EQ(count(dom, std::regex("<script")), 1U);  // the label stayed text
    EXPECT_NE(dom.find("&lt;script&gt;document.title='x'&lt;/script&gt; &amp; \"more\""), std::string::npos);
    EXPECT_NE(dom.find("<title>audkit report</title>"), std::string::npos);

    // The filter in the address: only failures are shown.
    const auto failures = test::chromium(page + "#status=FAIL");
    EXPECT_EQ(count(failures, std::regex("<li class=\"finding\"[^>]*data-status=\"INCOMPLETE\"[^>]*hidden")),
              incomplete);
    EXPECT_EQ(count(failures, std::regex("<li class=\"finding\"[^>]*data-status=\"FAIL\"[^>]*hidden")), 0U);

    // A picture of the rendered page, kept as a test artefact.
    fs::create_directories(AUDKIT_TEST_ARTIFACTS);
    const auto picture = fs::path(AUDKIT_TEST_ARTIFACTS) / "html-report.png";
    fs::remove(picture);
    test::chromium(page, picture.string());
    EXPECT_GT(fs::exists(picture) ? fs::file_size(picture) : 0, 10'000U);
}

}  // namespace
}  // namespace audkit
