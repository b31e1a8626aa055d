#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <httplib.h>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "tests/server/running_server.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

namespace fs = std::filesystem;

std::size_t count(const std::string& text, const std::string& pattern) {
    const std::regex wanted(pattern);
    return static_cast<std::size_t>(
        std::distance(std::sregex_iterator(text.begin(), text.end(), wanted), std::sregex_iterator()));
}

class Dashboard : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { ::setenv("DO_NOT_TRACK", "1", 1); }

    // Posts a scan of an example with the scanner; returns the result's id.
    std::string post(const std::string& example, const std::string& key, const std::string& tag) {
        cli::ScanOptions options;
        options.bundles = {(test::sourceDir() / "examples" / example).string()};
        options.post = true;
        options.tags = {tag};
        std::ostringstream out, err;
        EXPECT_LE(cli::runScan(options, {server.address(), key, "", ""}, out, err), 1) << err.str();
        const auto text = out.str();
        const auto key_ = text.substr(text.rfind('\n', text.size() - 2) + 1);
        return key_.substr(key_.rfind('/') + 1, 32);
    }
    // A page as a person sees it: signed in through the sign-in form first.
    std::string browse(const std::string& path, const std::string& picture = "",
                       const std::string& password = "correct horse") {
        const auto form = database.folder.path() / "sign-in.html";
        std::ofstream(form) << "<form method=\"post\" action=\"" << server.address()
                            << "/login\"><input name=\"email\" value=\"ann@example.com\"><input name=\"password\" "
                               "value=\""
                            << password << "\"><input name=\"next\" value=\""
                            << std::regex_replace(path, std::regex("&"), "&amp;")
                            << "\"></form><script>document.forms[0].submit()</script>";
        if (picture.empty()) return test::chromium("file://" + form.string());
        fs::create_directories(AUDKIT_TEST_ARTIFACTS);
        test::chromium("file://" + form.string(), (fs::path(AUDKIT_TEST_ARTIFACTS) / picture).string());
        return "";
    }

    test::LogCapture log;
    test::TestDatabase database{GetParam()};
    test::RunningServer server{*database.database};
};

TEST_P(Dashboard, ShowsAnOrganisationsResultsTheirHistoryAndChangesInABrowser) {
    const auto ann = database.userWithKey("ann@example.com", "Shop");
    const auto bob = database.userWithKey("bob@example.com", "Bank");
    const auto first = post("settings", ann, "nightly");
    const auto second = post("settings", ann, "release");
    post("sign-in", ann, "nightly");
    const auto others = post("settings", bob, "nightly");

    // Nobody signed in: sent to the sign-in page, to come back afterwards.
    httplib::Client client(server.address());
    const auto anonymous = client.Get("/?tag=nightly");
    EXPECT_EQ(anonymous->status, 303);
    EXPECT_TRUE(anonymous->get_header_value("Location").starts_with("/login?next=")) << "httplib decodes it";
    EXPECT_EQ(client.Get("/results/" + first)->status, 303);

    // The list, filtered: only this organisation's results with the tag.
    auto dom = browse("/?tag=nightly");
    EXPECT_EQ(count(dom, "<tr><td>20"), 2u) << dom;
    EXPECT_EQ(dom.find(others), std::string::npos);
    EXPECT_EQ(count(browse("/?rule=ScreenTitle&app=com.example.shop.Settings"), "<tr><td>20"), 2u);
    browse("/", "dashboard-results.png");

    // A result: the scanner's report with the way to its history and the one before.
    dom = browse("/results/" + second);
    EXPECT_NE(dom.find("audkit report: 1 screen"), std::string::npos) << dom.substr(0, 2000);
    EXPECT_NE(dom.find("/compare?a=" + first + "&amp;b=" + second), std::string::npos);
    browse("/results/" + second, "dashboard-result.png");
    EXPECT_NE(browse("/results/" + others).find("There is no such result."), std::string::npos);

    // The screen's history: a dot per result and count in the chart.
    const auto history = "/history?app=com.example.shop.Settings&screen=No%20Screen%20Title%20Available";
    dom = browse(history);
    EXPECT_EQ(count(dom, "<circle class=\"point\""), 4u) << dom;
    browse(history, "dashboard-history.png");

    // The same screen scanned twice: every finding is unchanged, none new or fixed.
    dom = browse("/compare?a=" + first + "&b=" + second);
    EXPECT_NE(dom.find("New (0)"), std::string::npos) << dom;
    EXPECT_NE(dom.find("Fixed (0)"), std::string::npos);
    EXPECT_EQ(count(dom, "<tr class=\"finding\">"), 15u);
    // Another screen against it: what only one of them has is new or fixed.
    dom = browse("/compare?a=" + first + "&b=" + post("sign-in", ann, "x"));
    EXPECT_EQ(dom.find("New (0)"), std::string::npos);
    EXPECT_EQ(dom.find("Fixed (0)"), std::string::npos);

    EXPECT_NE(browse("/", "", "wrong").find("Wrong e-mail or password."), std::string::npos);
    EXPECT_EQ(client.Get("/rules/ColorContrast")->status, 200);
}

INSTANTIATE_TEST_SUITE_P(Databases, Dashboard, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace audkit
