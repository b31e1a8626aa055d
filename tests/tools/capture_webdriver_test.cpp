#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "audkit/base/base64.hpp"
#include "audkit/platform/capture_bundle.hpp"
#include "audkit/platform/png_codec.hpp"
#include "tests/support/local_server.hpp"
#include "tests/support/test_support.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A recorded WebDriverAgent source of a 390 x 844 point screen.
constexpr const char* recordedSource = R"(<?xml version="1.0" encoding="UTF-8"?>
<AppiumAUT><XCUIElementTypeApplication type="XCUIElementTypeApplication" name="Shop" label="Shop" enabled="true" visible="true" accessible="false" x="0" y="0" width="390" height="844" index="0">
  <XCUIElementTypeWindow type="XCUIElementTypeWindow" enabled="true" visible="true" accessible="false" x="0" y="0" width="390" height="844" index="0">
    <XCUIElementTypeButton type="XCUIElementTypeButton" name="checkout" label="Checkout" enabled="true" visible="true" accessible="true" x="16" y="780" width="358" height="30" index="0"/>
  </XCUIElementTypeWindow>
</XCUIElementTypeApplication></AppiumAUT>)";

json value(json inner) { return json{{"value", std::move(inner)}, {"sessionId", nullptr}}; }

// A WebDriver server on 127.0.0.1 with one session, "s-1", showing the
// recorded screen; its status names that session only when asked to.
class WebDriverServer {
public:
    explicit WebDriverServer(bool statusNamesSession) {
        RgbaImage image;
        image.width = 1170, image.height = 2532;
        image.pixels.assign(std::size_t{image.width} * image.height * 4, 255);
        screenshot_ = base64Encode(encodePng(image));
        local.server.Get("/status", [statusNamesSession](const httplib::Request&, httplib::Response& response) {
            auto body = value({{"ready", true}});
            if (statusNamesSession) body["sessionId"] = "s-1";
            response.set_content(body.dump(), "application/json");
        });
        local.server.Get(R"(/session/([^/]+)/(source|screenshot|window/rect))",
                         [this](const httplib::Request& request, httplib::Response& response) {
                             if (request.matches[1] != "s-1") {
                                 response.status = 404;
                                 response.set_content(value({{"error", "invalid session id"},
                                                             {"message", "Session does not exist\nat stack"}})
                                                          .dump(),
                                                      "application/json");
                                 return;
                             }
                             const auto what = request.matches[2].str();
                             const auto body = what == "source"       ? value(recordedSource)
                                               : what == "screenshot" ? value(screenshot_)
                                                                      : value({{"x", 0}, {"y", 0}, {"width", 390},
                                                                               {"height", 844}});
                             response.set_content(body.dump(), "application/json");
                         });
        local.start();
    }

    test::LocalServer local;

private:
    std::string screenshot_;
};

using Run = test::CommandRun;

Run capture(const std::string& server, const std::string& session, const fs::path& output) {
    std::ostringstream out, err;
    const int status = cli::runCapture({server, session, output.string()}, out, err);
    return {status, out.str(), err.str()};
}

TEST(CaptureWebDriver, WritesABundleOfTheSessionsScreen) {
    test::LogCapture log;
    test::TempDir dir;
    WebDriverServer driver(false);
    const auto run = capture(driver.local.address() + "/", "s-1", dir.path() / "shop");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto bundle = CaptureBundle::open(dir.path() / "shop");
    EXPECT_EQ(bundle.device().scale, 3.0F);
    EXPECT_EQ(decodePng(test::readFile(dir.path() / "shop" / "screenshot.png")).width, 1170U);

    // The 30-point checkout button is too small a target.
    cli::ScanOptions scan;
    scan.bundles = {(dir.path() / "shop").string()};
    scan.format = "json";
    std::ostringstream out, err;
    ASSERT_EQ(cli::runScan(scan, {}, out, err), 1) << err.str();
    bool tooSmall = false;
    const auto document = json::parse(out.str());
    for (const auto& result : document["audRuleResults"])
        tooSmall |= result["ruleId"] == "TouchTargetSize" && result["status"] == "FAIL";
    EXPECT_TRUE(tooSmall);
}

TEST(CaptureWebDriver, FindsTheOnlySessionWhenNoneIsGiven) {
    test::TempDir dir;
    WebDriverServer named(true);
    EXPECT_EQ(capture(named.local.address(), "", dir.path() / "a").status, 0);

    WebDriverServer unnamed(false);
    const auto run = capture(unnamed.local.address(), "", dir.path() / "b");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("names no single running session: give one with --session ID"), std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(dir.path() / "b"));
}

// A session that does not exist and a server that is down: one line naming
// the cause, and no bundle.
TEST(CaptureWebDriver, FailuresNameTheirCause) {
    test::TempDir dir;
    WebDriverServer driver(false);
    const auto missing = capture(driver.local.address(), "s-9", dir.path() / "shop");
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err,
              "audkit: GET /session/s-9/source failed: invalid session id: Session does not exist\n");

    int port = 0;
    {
        WebDriverServer gone(false);
        port = gone.local.port;
    }
    const auto down = capture("http://127.0.0.1:" + std::to_string(port), "s-1", dir.path() / "shop");
    EXPECT_EQ(down.status, 2);
    EXPECT_NE(down.err.find("cannot reach the WebDriver server at http://127.0.0.1:" + std::to_string(port)),
              std::string::npos)
        << down.err;

    const auto notAnAddress = capture("127.0.0.1:4723", "s-1", dir.path() / "shop");
    EXPECT_EQ(notAnAddress.status, 2);
    EXPECT_NE(notAnAddress.err.find("starts with `http://` or `https://`"), std::string::npos) << notAnAddress.err;
    EXPECT_FALSE(fs::exists(dir.path() / "shop"));

    // A reply nested 100,000 levels deep is no WebDriver reply, not a crash.
    test::LocalServer deep;
    deep.server.Get(R"(/.*)", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(R"({"value":)" + std::string(100'000, '[') + std::string(100'000, ']') + "}",
                             "application/json");
    });
    deep.start();
    const auto nested = capture(deep.address(), "s-1", dir.path() / "shop");
    EXPECT_EQ(nested.status, 2);
    EXPECT_NE(nested.err.find("without a JSON body"), std::string::npos) << nested.err;
}

}  // namespace
}  // namespace audkit
