#include <nlohmann/json.hpp>
#include <ostream>

#include "audkit/base/base64.hpp"
#include "audkit/network/url_wrapper.hpp"
#include "audkit/platform/curl_transport.hpp"
#include "audkit/platform/jpeg_codec.hpp"
#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/import/bundle_writer.hpp"
#include "tools/audkit/import/imported_tree.hpp"
#include "tools/audkit/import/webdriver_client.hpp"
#include "tools/audkit/report/text_output.hpp"

// Captures the current screen of a running WebDriver server (Appium,
// WebDriverAgent) through the W3C WebDriver endpoints: page source,
// screenshot and window rectangle.
namespace audkit::cli {
namespace {

using nlohmann::json;

constexpr std::uint32_t maxScreenshotSide = 4096;

}  // namespace

int runCapture(const CaptureOptions& options, std::ostream& out, std::ostream& err) {
    try {
        const URLWrapper server(options.webDriver);  // http or https, or a clear error
        CurlTransport transport;
        const WebDriver driver(server.url(), transport);
        const auto session = "/session/" + percentEncodedSegment(driver.session(options.session));

        const auto source = driver.get(session + "/source");
        if (!source.is_string()) throw ImportError("GET " + session + "/source did not answer a page source");
        ImportedTree tree;
        try {
            tree = readAccessibilityDump(source.get<std::string>());
        } catch (const ImportError& error) {
            throw ImportError("the page source of " + session + ": " + error.what());
        }
        // A root without a frame takes the window's.
        if (!tree.root.hasFrame()) {
            const auto rect = driver.get(session + "/window/rect");
            if (rect.is_object() && rect.value("width", json()).is_number() &&
                rect.value("height", json()).is_number()) {
                tree.root.x = rect.value("x", 0.0), tree.root.y = rect.value("y", 0.0);
                tree.root.width = rect["width"].get<double>(), tree.root.height = rect["height"].get<double>();
            }
        }
        const auto encoded = driver.get(session + "/screenshot");
        const auto bytes = encoded.is_string() ? base64Decode(encoded.get<std::string>()) : std::nullopt;
        if (!bytes) throw ImportError("GET " + session + "/screenshot did not answer a base64 image");
        RgbaImage screenshot;
        try {
            screenshot = decodeImage(*bytes);
        } catch (const Error& error) {
            throw ImportError("the screenshot of " + session + ": " + error.what());
        }
        if (screenshot.width > maxScreenshotSide || screenshot.height > maxScreenshotSide)
            throw ImportError("the screenshot of " + session + " is larger than " + std::to_string(maxScreenshotSide) +
                              " pixels a side");
        std::vector<std::string> warnings;
        const auto document = captureDocument(tree, screenshot, warnings);
        writeImportedBundle(options.output, document, screenshot);
        for (const auto& warning : warnings) err << "audkit: page source: " << warning << '\n';
        out << options.output << ": captured from " << options.webDriver << " (" << tree.format << ")\n";
        return exitSuccess;
    } catch (const std::exception& error) {
        err << "audkit: " << failureLine(error) << '\n';
        return exitUsage;
    }
}

}  // namespace audkit::cli
