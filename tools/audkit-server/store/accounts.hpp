#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/audkit-server/store/database.hpp"

namespace audkit::server {

struct User {
    std::string id, email, organisation, organisationName;
};

struct ApiKeyRecord {
    std::string id, userEmail;
    std::int64_t created = 0;
    bool revoked = false;
};

class AccountError : public Error {
public:
    using Error::Error;
};

// Organisations, their users and the users' API keys. Passwords and key
// secrets come here hashed; nothing here sees them in clear.
class Accounts {
public:
    explicit Accounts(Database& database) : database_(database) {}

    // Adds a user to an organisation, made when it is new. Throws
    // AccountError when the e-mail address has a user already.
    User addUser(const std::string& email, const std::string& organisation, const std::string& passwordHash);
    // Removes a user, their keys with them; their results stay with the
    // organisation. False when there is no such user.
    bool removeUser(const std::string& email);
    std::optional<User> userByEmail(const std::string& email);
    std::optional<User> userById(const std::string& id);
    std::optional<std::string> passwordHashOf(const std::string& userId);

    void addKey(const std::string& keyId, const std::string& userId, const std::string& secretHash);
    // The user of a key that is not revoked, with the hash to check the
    // secret against.
    struct KeyHolder {
        User user;
        std::string secretHash;
    };
    std::optional<KeyHolder> keyHolder(const std::string& keyId);
    // False when there is no such key or it was revoked before.
    bool revokeKey(const std::string& keyId);
    std::vector<ApiKeyRecord> keys();

private:
    Database& database_;
};

}  // namespace audkit::server
