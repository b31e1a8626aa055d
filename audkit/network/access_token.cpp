#include "audkit/network/access_token.hpp"

#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "audkit/base/float_format.hpp"
#include "audkit/base/id_and_time_source.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/network/default_addresses.hpp"
#include "audkit/network/http_executor.hpp"
#include "audkit/network/server_errors.hpp"
#include "audkit/network/url_wrapper.hpp"

namespace audkit {
namespace {

std::int64_t nowInSeconds() { return truncateToInt64(IdAndTimeSource::secondsSince1970()); }

std::string formComponent(std::string_view text) {
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || c == '.' || c == '_' || c == '-' || c == '*' || c == '@' ||
                           c == '!';
        if (plain) {
            encoded += c;
        } else if (c == ' ') {
            encoded += '+';
        } else {
            std::array<char, 4> escaped{};
            std::snprintf(escaped.data(), escaped.size(), "%%%02X", byte);
            encoded += escaped.data();
        }
    }
    return encoded;
}

// Whether a lifetime (seconds) given at `since` still runs at `now`. Compared as
// elapsed time, so a server's huge lifetime cannot overflow a sum.
bool stillValid(std::int64_t since, std::int64_t lifetime, std::int64_t now) {
    if (now < since) return true;  // the clock went back: the token is as fresh as it was
    const auto elapsed = static_cast<std::uint64_t>(now) - static_cast<std::uint64_t>(since);
    return lifetime > 0 && static_cast<std::uint64_t>(lifetime) > elapsed;
}

}  // namespace

std::string formEncoded(const std::map<std::string, std::string>& parameters) {
    std::string body;
    for (const auto& [key, value] : parameters) {
        if (!body.empty()) body += '&';
        body += formComponent(key);
        body += '=';
        body += formComponent(value);
    }
    return body;
}

AccessToken::AccessToken(std::shared_ptr<HttpTransport> transport, std::string username, std::string password,
                         std::string realm, std::string clientId, const std::string& authServerURL)
    : transport_(std::move(transport)),
      username_(std::move(username)),
      password_(std::move(password)),
      realm_(std::move(realm)),
      clientId_(std::move(clientId)) {
    authServerURL_ = URLWrapper(authServerURL.empty() ? defaultAuthenticationAddress : authServerURL).url();
    if (username_.empty()) throw EmptyCredentialError("username");
    if (password_.empty()) throw EmptyCredentialError("password");
    if (realm_.empty()) realm_ = "aud";
    if (clientId_.empty()) clientId_ = "mobile";
    fetchToken();
}

bool AccessToken::isAccessTokenValid() const {
    return !accessToken_.empty() && stillValid(lastRefreshTime_, accessTokenExpirationTime_, nowInSeconds());
}

bool AccessToken::isRefreshTokenValid() const {
    return stillValid(lastRefreshTime_, refreshTokenExpirationTime_, nowInSeconds());
}

void AccessToken::fetchToken() {
    const auto url =
        URLWrapper(authServerURL_).appending({"/auth/realms/" + realm_ + "/protocol/openid-connect/token"});
    const bool refreshGrant = isRefreshTokenValid();
    std::map<std::string, std::string> parameters{{"client_id", clientId_}};
    if (refreshGrant) {
        parameters["grant_type"] = "refresh_token";
        parameters["refresh_token"] = refreshToken_;
    } else {
        parameters["grant_type"] = "password";
        parameters["username"] = username_;
        parameters["password"] = password_;
    }
    const bool firstLogin = lastRefreshTime_ == 0;
    if (firstLogin)
        ZKLog::debug("Attempting to login...");
    else
        ZKLog::debug(std::string("Token ") + (refreshGrant ? "accessToken" : "refreshToken") +
                     " has expired. Attempting refresh...");

    const auto body = send(*transport_, postRequest(url, formEncoded(parameters), ContentType::formURLEncoded, nullptr),
                           SuccessfulMessage::generic);
    const auto reply = replyObject(body);
    auto access = stringMember(reply, "access_token");
    auto refresh = stringMember(reply, "refresh_token");
    const auto expiresIn = integerMember(reply, "expires_in");
    const auto refreshExpiresIn = integerMember(reply, "refresh_expires_in");
    auto type = stringMember(reply, "token_type");

    accessToken_ = std::move(access);
    refreshToken_ = std::move(refresh);
    accessTokenExpirationTime_ = expiresIn;
    refreshTokenExpirationTime_ = refreshExpiresIn;
    tokenType_ = std::move(type);
    lastRefreshTime_ = nowInSeconds();
    if (firstLogin)
        ZKLog::debug("Login successful.");
    else
        ZKLog::debug(std::string("Successfully generated new ") + (refreshGrant ? "accessToken" : "refreshToken") +
                     ".");
}

CredentialHeader AccessToken::credentialHeader() {
    if (!isAccessTokenValid()) {
        try {
            fetchToken();
        } catch (const ErrorMessages& error) {
            ZKLog::log(error);
            return {std::nullopt, HeaderField::authorization};
        } catch (const std::exception& error) {
            ZKLog::always(std::string("ZUNIK ERROR: ") + error.what());
            return {std::nullopt, HeaderField::authorization};
        }
    }
    return {"Bearer " + accessToken_, HeaderField::authorization};
}

}  // namespace audkit
