#include <nlohmann/json.hpp>
#include <ostream>

#include "audkit/base/base64.hpp"
#include "audkit/base/strict_json.hpp"
#include "audkit/network/url_wrapper.hpp"
#include "audkit/platform/curl_transport.hpp"
#include "audkit/platform/jpeg_codec.hpp"
#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/import/bundle_writer.hpp"
#include "tools/audkit/import/imported_tree.hpp"
#include "tools/audkit/report/text_output.hpp"

// Captures the current screen of a running WebDriver server (Appium,
// WebDriverAgent) through the W3C WebDriver endpoints: page source,
// screenshot and window rectangle.
namespace audkit::cli {
namespace {

using nlohmann::json;

// A page source and a screenshot take a while on a device; nothing takes minutes.
constexpr std::chrono::milliseconds webDriverTimeout{120'000};
constexpr std::uint32_t maxScreenshotSide = 4096;
// A page source as large as an imported dump may be, or a screenshot of the
// largest side in base64, with room to spare.
constexpr std::size_t maxReplyBytes = std::size_t{96} * 1024 * 1024;

class WebDriver {
public:
    WebDriver(std::string server, HttpTransport& transport) : server_(std::move(server)), transport_(transport) {
        while (!server_.empty() && server_.back() == '/') server_.pop_back();
    }

    // The "value" of a GET; an error reply is named with the server's words.
    json get(const std::string& path) const {
        const auto reply = fetch(path);
        json body;
        try {
            body = parseFromOutside<json>(reply.body.value_or(""));
        } catch (const json::exception&) {
            throw ImportError("GET " + path + " answered HTTP " + std::to_string(reply.status.value_or(0)) +
                              " without a JSON body: is " + server_ + " a WebDriver server?");
        }
        const auto value = body.is_object() ? body.value("value", json()) : json();
        if (reply.status != 200 || (value.is_object() && value.contains("error"))) {
            std::string what = "HTTP " + std::to_string(reply.status.value_or(0));
            if (value.is_object() && value.contains("error")) {
                what = value["error"].is_string() ? value["error"].get<std::string>() : what;
                if (value.contains("message") && value["message"].is_string())
                    what += ": " + firstLine(value["message"].get<std::string>());
            }
            throw ImportError("GET " + path + " failed: " + what);
        }
        return value;
    }

    // The session to capture: the one given, else the one the server names
    // (WebDriverAgent's status, Appium's session lists).
    std::string session(const std::string& given) const {
        if (!given.empty()) return given;
        for (const auto* path : {"/status", "/sessions", "/appium/sessions"}) {
            try {
                const auto reply = fetch(path);
                const auto body = parseFromOutside<json>(reply.body.value_or(""));
                if (body.is_object() && body.contains("sessionId") && body["sessionId"].is_string() &&
                    !body["sessionId"].get<std::string>().empty())
                    return body["sessionId"].get<std::string>();
                const auto value = body.is_object() ? body.value("value", json()) : json();
                if (value.is_array() && value.size() == 1 && value[0].is_object() && value[0].contains("id") &&
                    value[0]["id"].is_string())
                    return value[0]["id"].get<std::string>();
            } catch (const json::exception&) {
                // this server has no such list: try the next
            }
        }
        throw ImportError("the WebDriver server at " + server_ +
                          " names no single running session: give one with --session ID");
    }

private:
    HttpReply fetch(const std::string& path) const {
        HttpRequest request;
        request.method = "GET";
        request.url = server_ + path;
        request.timeout = webDriverTimeout;
        request.largestReply = maxReplyBytes;
        try {
            return transport_.perform(request);
        } catch (const TransportError& error) {
            throw ImportError("cannot reach the WebDriver server at " + server_ + ": " + error.what());
        }
    }

    static std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

    std::string server_;
    HttpTransport& transport_;
};

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
