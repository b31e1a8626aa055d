#include "tools/audkit-server/http/services.hpp"

#include "audkit/base/id_and_time_source.hpp"
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
        const auto now = static_cast<std::int64_t>(IdAndTimeSource::secondsSince1970());
        const auto userId = tokenUser(authorization.substr(7), "access", tokenKey, now);
        if (const auto user = userId ? accounts.userById(*userId) : std::nullopt) return user;
        replyError(reply, 401, "the access token is not valid (expired, or of a user no longer here)");
        return std::nullopt;
    }
    replyError(reply, 401, "no credentials: send an API key (X-Api-Key) or a bearer token");
    return std::nullopt;
}

namespace {

// An unknown user costs a login as much time as a wrong password, so the
// time of a reply does not tell which user names exist.
const std::string& decoyHash() {
    static const std::string hash = hashPassword(randomId());
    return hash;
}

}  // namespace

Services::Login Services::logIn(const std::string& email, const std::string& password, const std::string& address) {
    const auto now = LoginLimiter::Clock::now();
    if (const auto wait = logins.waitFor(email, address, now)) {
        log.write("warning", "login refused", {{"user", email}, {"client", address}, {"wait_s", wait}});
        return {std::nullopt, wait};
    }
    const auto user = accounts.userByEmail(email);
    const auto hash = user ? accounts.passwordHashOf(user->id) : std::nullopt;
    if (!passwordMatches(password, hash ? *hash : decoyHash()) || !user || !hash) {
        logins.failed(email, address, now);
        log.write("warning", "login failed", {{"user", email}, {"client", address}});
        return {};
    }
    logins.succeeded(email);
    log.write("info", "login", {{"user", user->id}, {"client", address}});
    return {user, 0};
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
