#include "tools/audkit/backend_login.hpp"

#include <cstdlib>
#include <iostream>
#include <string>

#include "audkit/platform/curl_transport.hpp"

namespace audkit::cli {

std::unique_ptr<AudKit> loginToBackend(const LoginOptions& login) {
    auto transport = std::make_shared<CurlTransport>();
    if (!login.apiKey.empty()) return AudKit::loginWithAPIKey(transport, login.apiKey, login.server);
    if (login.user.empty()) throw Error("a backend needs a login: --api-key KEY or --user NAME");
    std::string password;
    if (const char* fromEnvironment = std::getenv("AUDKIT_PASSWORD")) {
        password = fromEnvironment;
    } else if (!std::getline(std::cin, password)) {
        throw Error("no password: set AUDKIT_PASSWORD or give it on standard input");
    }
    return AudKit::login(transport, login.user, password, login.server);
}

}  // namespace audkit::cli
