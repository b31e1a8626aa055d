#include "tools/audkit-server/store/accounts.hpp"

#include "audkit/base/id_and_time_source.hpp"
#include "tools/audkit-server/auth/secrets.hpp"

namespace audkit::server {
namespace {

constexpr const char* userColumns =
    "SELECT users.id, users.email, users.organisation, organisations.name FROM users JOIN organisations ON "
    "organisations.id = users.organisation ";

std::int64_t now() { return static_cast<std::int64_t>(IdAndTimeSource::secondsSince1970()); }

std::optional<User> firstUser(const std::vector<SqlRow>& rows) {
    if (rows.empty()) return std::nullopt;
    const auto& row = rows.front();
    return User{row[0].value_or(""), row[1].value_or(""), row[2].value_or(""), row[3].value_or("")};
}

}  // namespace

User Accounts::addUser(const std::string& email, const std::string& organisation, const std::string& passwordHash) {
    User user;
    database_.transaction([&] {
        if (userByEmail(email)) throw AccountError("there is a user " + email + " already");
        auto found = database_.run("SELECT id FROM organisations WHERE name = ?", {organisation});
        std::string organisationId;
        if (found.empty()) {
            organisationId = randomId();
            database_.run("INSERT INTO organisations (id, name) VALUES (?, ?)", {organisationId, organisation});
        } else {
            organisationId = found[0][0].value_or("");
        }
        user = User{randomId(), email, organisationId, organisation};
        database_.run("INSERT INTO users (id, email, organisation, password_hash, created) VALUES (?, ?, ?, ?, ?)",
                      {user.id, email, organisationId, passwordHash, now()});
    });
    return user;
}

bool Accounts::removeUser(const std::string& email) {
    bool removed = false;
    database_.transaction([&] {
        const auto user = userByEmail(email);
        if (!user) return;
        database_.run("DELETE FROM api_keys WHERE user_id = ?", {user->id});
        database_.run("DELETE FROM users WHERE id = ?", {user->id});
        removed = true;
    });
    return removed;
}

std::optional<User> Accounts::userByEmail(const std::string& email) {
    return firstUser(database_.run(std::string(userColumns) + "WHERE users.email = ?", {email}));
}

std::optional<User> Accounts::userById(const std::string& id) {
    return firstUser(database_.run(std::string(userColumns) + "WHERE users.id = ?", {id}));
}

std::optional<std::string> Accounts::passwordHashOf(const std::string& userId) {
    const auto rows = database_.run("SELECT password_hash FROM users WHERE id = ?", {userId});
    if (rows.empty()) return std::nullopt;
    return rows[0][0];
}

void Accounts::addKey(const std::string& keyId, const std::string& userId, const std::string& secretHash) {
    database_.run("INSERT INTO api_keys (id, user_id, secret_hash, created) VALUES (?, ?, ?, ?)",
                  {keyId, userId, secretHash, now()});
}

std::optional<Accounts::KeyHolder> Accounts::keyHolder(const std::string& keyId) {
    const auto rows = database_.run(
        "SELECT users.id, users.email, users.organisation, organisations.name, api_keys.secret_hash FROM api_keys "
        "JOIN users ON users.id = api_keys.user_id JOIN organisations ON organisations.id = users.organisation WHERE "
        "api_keys.id = ? AND api_keys.revoked IS NULL",
        {keyId});
    if (rows.empty()) return std::nullopt;
    return KeyHolder{*firstUser(rows), rows[0][4].value_or("")};
}

bool Accounts::revokeKey(const std::string& keyId) {
    bool revoked = false;
    database_.transaction([&] {
        revoked = !database_.run("SELECT id FROM api_keys WHERE id = ? AND revoked IS NULL", {keyId}).empty();
        if (revoked) database_.run("UPDATE api_keys SET revoked = ? WHERE id = ?", {now(), keyId});
    });
    return revoked;
}

std::vector<ApiKeyRecord> Accounts::keys() {
    std::vector<ApiKeyRecord> keys;
    for (const auto& row :
         database_.run("SELECT api_keys.id, users.email, api_keys.created, api_keys.revoked FROM "
                       "api_keys JOIN users ON users.id = api_keys.user_id ORDER BY api_keys.created"))
        keys.push_back(
            {row[0].value_or(""), row[1].value_or(""), std::stoll(row[2].value_or("0")), row[3].has_value()});
    return keys;
}

}  // namespace audkit::server
