#include "tools/audkit/import/webdriver_client.hpp"

#include "audkit/base/strict_json.hpp"
#include "tools/audkit/import/imported_tree.hpp"

namespace audkit::cli {
namespace {

using nlohmann::json;

// A page source and a screenshot take a while on a device; nothing takes minutes.
constexpr std::chrono::milliseconds webDriverTimeout{120'000};
// A page source as large as an imported dump may be, or a screenshot of the
// largest side in base64, with room to spare.
constexpr std::size_t maxReplyBytes = std::size_t{96} * 1024 * 1024;

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

WebDriver::WebDriver(std::string server, HttpTransport& transport) : server_(std::move(server)), transport_(transport) {
    while (!server_.empty() && server_.back() == '/') server_.pop_back();
}

json WebDriver::get(const std::string& path) const {
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

std::string WebDriver::session(const std::string& given) const {
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

HttpReply WebDriver::fetch(const std::string& path) const {
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

}  // namespace audkit::cli
