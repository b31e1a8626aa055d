#pragma once

#include <httplib.h>
#include <optional>
#include <ostream>
#include <string>

#include "tools/audkit-server/auth/login_limiter.hpp"
#include "tools/audkit-server/http/server_options.hpp"
#include "tools/audkit-server/http/structured_log.hpp"
#include "tools/audkit-server/store/accounts.hpp"
#include "tools/audkit-server/store/results.hpp"

namespace audkit::server {

// What the endpoints share for the life of the server.
struct Services {
    Services(Database& database, ServerOptions options, StructuredLog& log);

    Database& database;
    Accounts accounts;
    Results results;
    ServerOptions options;
    StructuredLog& log;
    LoginLimiter logins;
    std::string tokenKey;

    // The user an API key (X-Api-Key) or bearer token (Authorization) names;
    // otherwise the reply is a 401 and nothing is returned.
    std::optional<User> caller(const httplib::Request& request, httplib::Response& reply);
    // A login with a password, limited per user and address: the user, or
    // the seconds to wait (`wait` > 0), or neither (wrong name or password).
    struct Login {
        std::optional<User> user;
        std::int64_t wait = 0;
    };
    Login logIn(const std::string& email, const std::string& password, const std::string& address);
    // The client's address (the proxy's last X-Forwarded-For entry when
    // the server sits behind one).
    std::string clientAddress(const httplib::Request& request) const;
};

void addAuthEndpoints(httplib::Server& server, Services& services);
void addDashboard(httplib::Server& server, Services& services);
void addResultEndpoints(httplib::Server& server, Services& services);

}  // namespace audkit::server
