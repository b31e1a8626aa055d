#pragma once

#include <cstddef>
#include <string>

namespace audkit::server {

struct ServerOptions {
    // The address clients reach the server at, named to them by /auth-url
    // (they log in there); when empty, the scheme and Host of each request.
    std::string publicUrl;
    // The realm of the token endpoint, /auth/realms/<realm>/...
    std::string realm = "audkit";
    // The largest request body, after gzip is undone (a result document with
    // its screenshot is a few MB).
    std::size_t maxBodyBytes = 64u << 20;
    // Behind a reverse proxy the client's address is the last entry of
    // X-Forwarded-For (login limits are per address).
    bool behindProxy = false;
    // TLS: both given, the server speaks HTTPS.
    std::string certificate, privateKey;
    int threads = 8;
};

}  // namespace audkit::server
