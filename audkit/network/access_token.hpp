#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "audkit/base/error.hpp"
#include "audkit/network/http_request.hpp"
#include "audkit/network/http_transport.hpp"

namespace audkit {

class EmptyCredentialError : public MessageError {
public:
    // "Could not login. username was empty."
    explicit EmptyCredentialError(std::string_view credential)
        : MessageError("Could not login. " + std::string(credential) + " was empty.") {}
};

// A bearer token from an OpenID Connect token endpoint: a password grant at
// first, then refresh grants while the refresh token lasts, and a new password
// grant after that. The password stays in memory only, for those new grants.
class AccessToken : public Authentication {
public:
    // Empty realm and client id become "aud" and "mobile", an empty address
    // the default authentication server. Fetches the first token at once;
    // throws EmptyCredentialError, URLinvalidFormat or the fetch's error.
    AccessToken(std::shared_ptr<HttpTransport> transport, std::string username, std::string password,
                std::string realm = "", std::string clientId = "", const std::string& authServerURL = "");

    // "Bearer <token>", renewed first when it has expired. A failed renewal is
    // logged and the request goes out without credentials.
    CredentialHeader credentialHeader() override;

    // Fetches a new token (refresh grant while the refresh token is valid,
    // else password grant). The fields change only when the reply is whole.
    void fetchToken();

    bool isAccessTokenValid() const;
    bool isRefreshTokenValid() const;

    const std::string& accessToken() const { return accessToken_; }
    const std::string& refreshToken() const { return refreshToken_; }
    const std::string& tokenType() const { return tokenType_; }
    std::int64_t lastRefreshTime() const { return lastRefreshTime_; }
    std::int64_t accessTokenExpirationTime() const { return accessTokenExpirationTime_; }
    std::int64_t refreshTokenExpirationTime() const { return refreshTokenExpirationTime_; }
    const std::string& realm() const { return realm_; }
    const std::string& clientId() const { return clientId_; }

private:
    std::shared_ptr<HttpTransport> transport_;
    std::string username_;
    std::string password_;
    std::string realm_;
    std::string clientId_;
    std::string authServerURL_;
    std::string refreshToken_;
    std::string accessToken_;
    std::int64_t accessTokenExpirationTime_ = 0;
    std::int64_t refreshTokenExpirationTime_ = 0;
    std::string tokenType_;
    std::int64_t lastRefreshTime_ = 0;
};

// application/x-www-form-urlencoded: letters, digits and ". _ - * @ !" stay,
// a blank becomes "+", everything else "%XX" of its UTF-8 bytes.
std::string formEncoded(const std::map<std::string, std::string>& parameters);

}  // namespace audkit
