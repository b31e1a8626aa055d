#include "tools/audkit-server/http/services.hpp"

#include <chrono>

#include "tools/audkit-server/auth/secrets.hpp"
#include "tools/audkit-server/auth/tokens.hpp"
#include "tools/audkit-server/http/exchange.hpp"
#include "tools/audkit-server/store/schema.hpp"

namespace audkit::server {

Services::Services(Database& database_, ServerOptions options_, StructuredLog& log_)
    : database(database_),
      accounts(database_),
      results(database_),
      options(std::move(options_)),
      log(log_),
      tokenKey(tokenSigningKey(database_)) {}

std::optional<User> Services::caller(const httplib::Request& request, httplib::Response& reply) {
    if (request.has_header("X-Api-Key")) {
        const auto key = parseApiKey(request.get_header_value("X-Api-Key"));
        const auto holder = key ? accounts.keyHolder(key->id) : std::nullopt;
        if (holder && sameHash(secretHash(key->secret), holder->secretHash)) return holder->user;
        replyError(reply, 401, "the API key is unknown or revoked");
        return std::nullopt;
    }
    const auto authorization = request.get_header_value("Authorization");
    if (authorization.starts_with("Bearer ")) {
        const auto now =
            std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch());
        const auto userId = tokenUser(authorization.substr(7), "access", tokenKey, now.count());
        if (const auto user = userId ? accounts.userById(*userId) : std::nullopt) return user;
        replyError(reply, 401, "the access token is not valid (expired, or of a user no longer here)");
        return std::nullopt;
    }
    replyError(reply, 401, "no credentials: send an API key (X-Api-Key) or a bearer token");
    return std::nullopt;
}

std::string Services::clientAddress(const httplib::Request& request) const {
    if (options.behindProxy && request.has_header("X-Forwarded-For")) {
        auto forwarded = request.get_header_value("X-Forwarded-For");
        forwarded = forwarded.substr(forwarded.rfind(',') == std::string::npos ? 0 : forwarded.rfind(',') + 1);
        const auto first = forwarded.find_first_not_of(' ');
        if (first != std::string::npos) return forwarded.substr(first);
    }
    return request.remote_addr;
}

}  // namespace audkit::server
