#include "audkit/network/url_wrapper.hpp"

#include <array>
#include <cstdio>

namespace audkit {
namespace {

// An absolute http(s) address with a host and no blanks or control characters.
bool isHttpUrl(std::string_view text) {
    std::string_view rest;
    if (text.starts_with("http://"))
        rest = text.substr(7);
    else if (text.starts_with("https://"))
        rest = text.substr(8);
    else
        return false;
    for (const char c : text)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) return false;
    const auto hostEnd = rest.find_first_of("/?#");
    const auto authority = rest.substr(0, hostEnd);
    const auto host = authority.substr(authority.find('@') == std::string_view::npos ? 0 : authority.find('@') + 1);
    return !host.empty() && host.front() != ':';
}

}  // namespace

URLWrapper::URLWrapper(std::string_view text) : url_(text) {
    if (!isHttpUrl(text)) throw URLinvalidFormat(text);
}

URLWrapper URLWrapper::appending(std::initializer_list<std::string_view> components) const {
    std::string joined = url_;
    for (auto component : components) {
        const bool endsWithSlash = !joined.empty() && joined.back() == '/';
        const bool startsWithSlash = !component.empty() && component.front() == '/';
        if (endsWithSlash && startsWithSlash)
            component.remove_prefix(1);
        else if (!endsWithSlash && !startsWithSlash)
            joined += '/';
        joined += component;
    }
    return URLWrapper(joined);
}

std::string percentEncodedSegment(std::string_view text) {
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            encoded += c;
        } else {
            std::array<char, 4> escaped{};
            std::snprintf(escaped.data(), escaped.size(), "%%%02X", byte);
            encoded += escaped.data();
        }
    }
    return encoded;
}

}  // namespace audkit
