#pragma once

#include <optional>
#include <string>

namespace audkit::server {

// 128 random bits as 32 lower-case hex digits: ids of users, organisations,
// results and keys, none of them guessable from another.
std::string randomId();

// A password as libsodium's argon2id string (salt and costs inside): memory-
// hard, so a stolen database costs an attacker dearly per guess. At most two
// hashes run at once, so a burst of logins cannot take the server's memory.
std::string hashPassword(const std::string& password);
bool passwordMatches(const std::string& password, const std::string& hash);

// An API key as handed out once: "ak_" + its id + "_" + a 256-bit secret.
// Only the secret's hash is stored; the id finds it.
struct ApiKey {
    std::string id, secret;
    std::string text() const { return "ak_" + id + "_" + secret; }
};
ApiKey newApiKey();
std::optional<ApiKey> parseApiKey(const std::string& text);
// A fast hash (BLAKE2b) is enough for a secret of 256 random bits (nothing
// to guess, so nothing to slow down), unlike a password.
std::string secretHash(const std::string& secret);
bool sameHash(const std::string& a, const std::string& b);

}  // namespace audkit::server
