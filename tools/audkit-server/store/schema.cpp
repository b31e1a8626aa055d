#include "tools/audkit-server/store/schema.hpp"

#include <sodium.h>

namespace audkit::server {
namespace {

constexpr const char* schemaVersion = "1";

std::string withBlobType(std::string sql, std::string_view blob) {
    const auto at = sql.find("{blob}");
    if (at != std::string::npos) sql.replace(at, 6, blob);
    return sql;
}

}  // namespace

void prepareSchema(Database& database) {
    if (sodium_init() < 0) throw DatabaseError("libsodium could not start");
    static const char* tables[] = {
        "CREATE TABLE IF NOT EXISTS settings (name TEXT PRIMARY KEY, value TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS organisations (id TEXT PRIMARY KEY, name TEXT NOT NULL UNIQUE)",
        "CREATE TABLE IF NOT EXISTS users (id TEXT PRIMARY KEY, email TEXT NOT NULL UNIQUE, organisation TEXT NOT "
        "NULL REFERENCES organisations(id), password_hash TEXT NOT NULL, created BIGINT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS api_keys (id TEXT PRIMARY KEY, user_id TEXT NOT NULL REFERENCES users(id) ON "
        "DELETE CASCADE, secret_hash TEXT NOT NULL, created BIGINT NOT NULL, revoked BIGINT)",
        "CREATE TABLE IF NOT EXISTS results (id TEXT PRIMARY KEY, organisation TEXT NOT NULL REFERENCES "
        "organisations(id), user_id TEXT NOT NULL, package TEXT NOT NULL, screen TEXT NOT NULL, name TEXT, posted "
        "BIGINT NOT NULL, failures BIGINT NOT NULL, incompletes BIGINT NOT NULL, passes BIGINT NOT NULL, "
        "failing_rules TEXT NOT NULL, document {blob} NOT NULL)",
        "CREATE INDEX IF NOT EXISTS results_by_screen ON results (organisation, package, screen, posted)",
        "CREATE INDEX IF NOT EXISTS results_by_time ON results (organisation, posted)",
        "CREATE TABLE IF NOT EXISTS tags (result_id TEXT NOT NULL REFERENCES results(id) ON DELETE CASCADE, tag TEXT "
        "NOT NULL, PRIMARY KEY (result_id, tag))",
    };
    database.transaction([&] {
        for (const char* table : tables) database.run(withBlobType(table, database.blobType()));
        const auto version = database.run("SELECT value FROM settings WHERE name = 'schema-version'");
        if (version.empty()) {
            database.run("INSERT INTO settings (name, value) VALUES ('schema-version', ?)", {schemaVersion});
        } else if (version[0][0] != schemaVersion) {
            throw DatabaseError("the database was made by another version of audkit-server (schema " +
                                version[0][0].value_or("?") + ", this server reads " + schemaVersion + ")");
        }
        if (database.run("SELECT value FROM settings WHERE name = 'token-key'").empty()) {
            unsigned char key[crypto_auth_hmacsha256_KEYBYTES];
            randombytes_buf(key, sizeof key);
            char hex[sizeof key * 2 + 1];
            sodium_bin2hex(hex, sizeof hex, key, sizeof key);
            database.run("INSERT INTO settings (name, value) VALUES ('token-key', ?)", {std::string(hex)});
        }
    });
}

std::string tokenSigningKey(Database& database) {
    const auto rows = database.run("SELECT value FROM settings WHERE name = 'token-key'");
    if (rows.empty() || !rows[0][0]) throw DatabaseError("the database has no token key: run audkit-server init");
    std::string key(crypto_auth_hmacsha256_KEYBYTES, '\0');
    std::size_t size = 0;
    if (sodium_hex2bin(reinterpret_cast<unsigned char*>(key.data()), key.size(), rows[0][0]->c_str(),
                       rows[0][0]->size(), nullptr, &size, nullptr) != 0 ||
        size != key.size())
        throw DatabaseError("the database's token key is damaged");
    return key;
}

}  // namespace audkit::server
