#include "tools/audkit/scan/backend_login.hpp"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <termios.h>
#include <unistd.h>

#include "audkit/platform/curl_transport.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::cli {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// One line of standard input without its line end; throws with `missing`.
std::string readLine(const std::string& missing) {
    std::string line;
    if (!std::getline(std::cin, line)) throw Error(missing);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// On a terminal the password is asked for on standard error and not echoed.
std::string readPassword(const std::string& user) {
    termios saved{};
    if (::isatty(STDIN_FILENO) == 0 || ::tcgetattr(STDIN_FILENO, &saved) != 0)
        return readLine("no password: set AUDKIT_PASSWORD or give it on standard input");
    // Echo goes off before the prompt appears, so nothing typed after the
    // prompt is shown or thrown away.
    termios silent = saved;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    silent.c_lflag |= ECHONL;
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    std::cerr << "Password for " << user << ": " << std::flush;
    std::string password;
    const bool read = static_cast<bool>(std::getline(std::cin, password));
    ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    if (!read) throw Error("no password was typed");
    if (!password.empty() && password.back() == '\r') password.pop_back();
    return password;
}

CurlTransport::Settings transportSettings(const LoginOptions& login) {
    CurlTransport::Settings settings;
    std::string file = login.caFile;
    if (file.empty()) file = environment("CURL_CA_BUNDLE");
    if (file.empty()) file = environment("SSL_CERT_FILE");
    if (file.empty()) return settings;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        throw Error("certificate authorities " + file + ": no such readable file");
    settings.caFile = file;
    return settings;
}

}  // namespace

std::unique_ptr<AudKit> loginToBackend(const LoginOptions& login) {
    const std::string server = login.server.empty() ? environment("AUDKIT_SERVER") : login.server;
    if (server.empty()) throw Error("a backend needs its address: --server URL or AUDKIT_SERVER");
    auto transport = std::make_shared<CurlTransport>(transportSettings(login));
    std::string apiKey = login.apiKey;
    if (apiKey == "-") apiKey = readLine("--api-key -: no key on standard input");
    if (apiKey.empty() && login.user.empty()) apiKey = environment("AUDKIT_API_KEY");
    if (!apiKey.empty()) return AudKit::loginWithAPIKey(transport, apiKey, server);
    if (login.user.empty()) throw Error("a backend needs a login: --api-key KEY, AUDKIT_API_KEY or --user NAME");
    std::string password = environment("AUDKIT_PASSWORD");
    if (password.empty()) password = readPassword(login.user);
    return AudKit::login(transport, login.user, password, server);
}

}  // namespace audkit::cli
