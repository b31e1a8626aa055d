#include "tools/audkit/scan/backend_login.hpp"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "audkit/platform/curl_transport.hpp"
#include "tools/audkit/report/text_output.hpp"
#include "tools/audkit/scan/terminal_input.hpp"

namespace audkit::cli {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
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
    if (password.empty())
        password = readSecret("Password for " + login.user + ": ",
                              "no password: set AUDKIT_PASSWORD or give it on standard input");
    return AudKit::login(transport, login.user, password, server);
}

}  // namespace audkit::cli
