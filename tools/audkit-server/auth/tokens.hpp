#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace audkit::server {

// Bearer tokens the server signs itself (HMAC-SHA-256 with the database's
// token key): "v1." + base64url(payload) + "." + base64url(signature), the
// payload naming the user, the kind ("access", "refresh", or "session" for
// the dashboard's cookie) and the expiry.
// Nothing about a token is stored: a removed user's tokens find no user.
struct TokenPair {
    std::string access, refresh;
    std::int64_t accessLifetime = 0, refreshLifetime = 0;  // seconds
};

inline constexpr std::int64_t accessTokenLifetime = 900;
inline constexpr std::int64_t refreshTokenLifetime = 8 * 3600;

inline constexpr std::int64_t sessionLifetime = 8 * 3600;

// One token of `kind` that expires `lifetime` seconds from `now`.
std::string signedToken(const std::string& userId, const std::string& kind, std::int64_t lifetime,
                        const std::string& key, std::int64_t now);
TokenPair issueTokens(const std::string& userId, const std::string& key, std::int64_t now);
// The user a token names when its signature holds, it is of the kind asked
// for and it has not expired (a token whose expiry is now has).
std::optional<std::string> tokenUser(const std::string& token, const std::string& kind, const std::string& key,
                                     std::int64_t now);

}  // namespace audkit::server
