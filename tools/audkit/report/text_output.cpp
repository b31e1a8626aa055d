#include "tools/audkit/report/text_output.hpp"

#include "audkit/network/aud_client.hpp"

#include <array>
#include <charconv>
#include <cstdio>
#include <new>

namespace audkit::cli {

std::string quote(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"': quoted += "\\\""; break;
            case '\\': quoted += "\\\\"; break;
            case '\n': quoted += "\\n"; break;
            case '\r': quoted += "\\r"; break;
            case '\t': quoted += "\\t"; break;
            default:
                if (byte < 0x20 || byte == 0x7F) {
                    std::array<char, 8> escaped{};
                    std::snprintf(escaped.data(), escaped.size(), "\\x%02x", byte);
                    quoted += escaped.data();
                } else {
                    quoted += c;
                }
        }
    }
    return quoted + "\"";
}

std::string markup(std::string_view text) {
    std::string escaped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        // U+FFFE and U+FFFF are no characters XML allows, as no control character is.
        if (text.substr(i, 3) == "\xEF\xBF\xBE" || text.substr(i, 3) == "\xEF\xBF\xBF") {
            escaped += "\xEF\xBF\xBD";  // U+FFFD
            i += 2;
            continue;
        }
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            case '\'': escaped += "&apos;"; break;
            case '\n': escaped += "&#10;"; break;
            case '\t': escaped += "&#9;"; break;
            case '\r': escaped += "&#13;"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20)
                    escaped += "\xEF\xBF\xBD";  // U+FFFD
                else
                    escaped += c;
        }
    }
    return escaped;
}

std::string oneLine(std::string_view text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n' || c == '\t' || c == '\r') {
            if (!line.empty() && line.back() != ' ') line += ' ';
        } else if (c < 0x20 || c == 0x7F) {
            line += "\uFFFD";  // a control character (an escape sequence's start) never reaches a terminal
        } else if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            line += "\uFFFD";  // nor a C1 control (U+0080 to U+009F)
            ++i;
        } else {
            line += static_cast<char>(c);
        }
    }
    return line;
}

std::string number(double value) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

std::string number(float value) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

std::string indentation(std::size_t depth) {
    constexpr std::size_t maxIndentedDepth = 40;
    if (depth <= maxIndentedDepth) return std::string(depth * 2, ' ');
    return std::string(maxIndentedDepth * 2, ' ') + "[depth " + std::to_string(depth) + "] ";
}

std::string failureLine(const std::exception& error) {
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return "out of memory: the input needs more memory than this machine can give (std::bad_alloc)";
    const auto* client = dynamic_cast<const AudClientError*>(&error);
    // Only a 401 judges the credentials: a server error, a refusal, a
    // redirect or a connection that failed says nothing of them.
    if (client && client->errorCase() == AudClientError::Case::couldNotVerifyUser && client->statusCode() != 401 &&
        !client->cause().empty())
        return (client->statusCode() == 403 ? "the server refused the user check: "
                                            : "could not check the user with the server: ") +
               oneLine(client->cause());
    std::string line = oneLine(error.what());
    if (client && !client->cause().empty()) line += " (" + oneLine(client->cause()) + ")";
    return line;
}

}  // namespace audkit::cli
