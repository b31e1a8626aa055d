#include "tools/audkit/scan/terminal_input.hpp"

#include <iostream>
#include <termios.h>
#include <unistd.h>

#include "audkit/base/error.hpp"

namespace audkit::cli {

std::string readLine(const std::string& missing) {
    std::string line;
    if (!std::getline(std::cin, line)) throw Error(missing);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string readSecret(const std::string& prompt, const std::string& missing) {
    termios saved{};
    if (::isatty(STDIN_FILENO) == 0 || ::tcgetattr(STDIN_FILENO, &saved) != 0) return readLine(missing);
    // Echo goes off before the prompt appears, so nothing typed after the
    // prompt is shown or thrown away.
    termios silent = saved;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    silent.c_lflag |= ECHONL;
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    std::cerr << prompt << std::flush;
    std::string secret;
    const bool read = static_cast<bool>(std::getline(std::cin, secret));
    ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    if (!read) throw Error(missing);
    if (!secret.empty() && secret.back() == '\r') secret.pop_back();
    return secret;
}

}  // namespace audkit::cli
