#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "audkit/base/log_protocol.hpp"

namespace audkit {

// The library's one logger. Every line reads "ZUNIK <LEVEL>: <message>".
class ZKLog {
public:
    using Sink = std::function<void(std::string_view line)>;

    // Prints the value when debug output is on or the value forces printing.
    static void log(const LogProtocol& message);

    // Inline lines of the same format that bypass LogProtocol.
    static void debug(std::string_view text);   // "ZUNIK LOG: " + text, debug output only
    static void always(std::string_view line);  // a complete line, always printed

    static std::string line(LogLevel level, std::string_view message);
    static std::string_view levelWord(LogLevel level);

    // Where lines go (standard error by default). Returns the previous sink so a
    // test can restore it.
    static Sink setSink(Sink sink);
};

}  // namespace audkit
