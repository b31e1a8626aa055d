#include "tools/audkit-server/http/exchange.hpp"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace audkit::server {
namespace {

const char* reasonOf(int status) {
    switch (status) {
        case 400: return "Bad Request";
        case 401: return "Unauthorized";
        case 404: return "Not Found";
        case 405: return "Method Not Allowed";
        case 413: return "Payload Too Large";
        case 429: return "Too Many Requests";
        case 503: return "Service Unavailable";
        default: return "Internal Server Error";
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> percentDecoded(const std::string& text) {
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '%') {
            out += text[at];
            continue;
        }
        if (at + 2 >= text.size() || hexValue(text[at + 1]) < 0 || hexValue(text[at + 2]) < 0) return std::nullopt;
        out += static_cast<char>(hexValue(text[at + 1]) * 16 + hexValue(text[at + 2]));
        at += 2;
    }
    return out;
}

}  // namespace

void replyJson(httplib::Response& reply, const std::string& json, int status) {
    reply.status = status;
    reply.set_content(json, "application/json");
}

void replyError(httplib::Response& reply, int status, const std::string& message) {
    replyJson(reply, nlohmann::json{{"message", message}, {"error", reasonOf(status)}}.dump(), status);
}

std::optional<std::string> readBody(const httplib::ContentReader& reader, httplib::Response& reply, std::size_t limit) {
    std::string body;
    bool tooLarge = false;
    const bool read = reader([&](const char* data, std::size_t size) {
        if (body.size() + size > limit) {
            tooLarge = true;
            return false;
        }
        body.append(data, size);
        return true;
    });
    if (tooLarge || reply.status == 413) {
        const auto most =
            limit >= (1u << 20) ? std::to_string(limit >> 20) + " MB" : std::to_string(limit >> 10) + " kB";
        replyError(reply, 413, "the request body is larger than this server takes (" + most + ")");
        return std::nullopt;
    }
    if (!read) {
        replyError(reply, 400, "the request body could not be read (broken off, or not the gzip it says it is)");
        return std::nullopt;
    }
    return body;
}

std::optional<PathKey> keyInPath(const std::string& target, const std::string& prefix, const std::string& suffix) {
    auto path = target.substr(0, target.find('?'));
    if (!path.starts_with(prefix) || !path.ends_with(suffix) || path.size() < prefix.size() + suffix.size())
        return std::nullopt;
    path = path.substr(prefix.size(), path.size() - prefix.size() - suffix.size());
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= path.size()) {
        const auto end = std::min(path.find('/', start), path.size());
        if (end > start) {
            const auto piece = percentDecoded(path.substr(start, end - start));
            if (!piece) return std::nullopt;
            pieces.push_back(*piece);
        }
        start = end + 1;
    }
    if (pieces.size() != 3) return std::nullopt;
    return PathKey{pieces[0], pieces[1], pieces[2]};
}

std::map<std::string, std::string> formFields(const std::string& body) {
    std::map<std::string, std::string> fields;
    std::size_t start = 0;
    while (start <= body.size()) {
        const auto end = std::min(body.find('&', start), body.size());
        auto pair = body.substr(start, end - start);
        std::replace(pair.begin(), pair.end(), '+', ' ');
        const auto equals = pair.find('=');
        const auto name = percentDecoded(pair.substr(0, equals));
        const auto value = percentDecoded(equals == std::string::npos ? "" : pair.substr(equals + 1));
        if (name && value && !name->empty()) fields.emplace(*name, *value);
        start = end + 1;
    }
    return fields;
}

std::string keyJson(const std::string& userId, const std::string& packageName, const std::string& resultId) {
    return nlohmann::json{{"packageName", packageName}, {"userId", userId}, {"resultId", resultId}}.dump(
        -1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace audkit::server
