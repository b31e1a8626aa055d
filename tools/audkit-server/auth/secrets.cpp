#include "tools/audkit-server/auth/secrets.hpp"

#include <condition_variable>
#include <mutex>
#include <sodium.h>
#include <stdexcept>

namespace audkit::server {
namespace {

std::string hex(const unsigned char* bytes, std::size_t size) {
    std::string text(size * 2 + 1, '\0');
    sodium_bin2hex(text.data(), text.size(), bytes, size);
    text.pop_back();
    return text;
}

// At most two argon2id computations at a time (64 MB each).
class HashSlots {
public:
    void acquire() {
        std::unique_lock lock(mutex_);
        free_.wait(lock, [&] { return busy_ < 2; });
        ++busy_;
    }
    void release() {
        {
            const std::lock_guard lock(mutex_);
            --busy_;
        }
        free_.notify_one();
    }

private:
    std::mutex mutex_;
    std::condition_variable free_;
    int busy_ = 0;
};
HashSlots slots;

struct Slot {
    Slot() { slots.acquire(); }
    ~Slot() { slots.release(); }
};

void startSodium() {
    if (sodium_init() < 0) throw std::runtime_error("libsodium could not start");
}

}  // namespace

std::string randomId() {
    startSodium();
    unsigned char bytes[16];
    randombytes_buf(bytes, sizeof bytes);
    return hex(bytes, sizeof bytes);
}

std::string hashPassword(const std::string& password) {
    startSodium();
    const Slot slot;
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(hash, password.data(), password.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                              crypto_pwhash_MEMLIMIT_INTERACTIVE, crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw std::runtime_error("out of memory hashing a password");
    return hash;
}

bool passwordMatches(const std::string& password, const std::string& hash) {
    startSodium();
    const Slot slot;
    return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

ApiKey newApiKey() {
    startSodium();
    unsigned char secret[32];
    randombytes_buf(secret, sizeof secret);
    return {randomId(), hex(secret, sizeof secret)};
}

std::optional<ApiKey> parseApiKey(const std::string& text) {
    // "ak_" + 32 hex digits + "_" + 64 hex digits.
    if (text.size() != 3 + 32 + 1 + 64 || !text.starts_with("ak_") || text[35] != '_') return std::nullopt;
    for (std::size_t at = 3; at < text.size(); ++at)
        if (at != 35 && !std::isxdigit(static_cast<unsigned char>(text[at]))) return std::nullopt;
    return ApiKey{text.substr(3, 32), text.substr(36)};
}

std::string secretHash(const std::string& secret) {
    startSodium();
    unsigned char hash[crypto_generichash_BYTES];
    crypto_generichash(hash, sizeof hash, reinterpret_cast<const unsigned char*>(secret.data()), secret.size(), nullptr,
                       0);
    return hex(hash, sizeof hash);
}

bool sameHash(const std::string& a, const std::string& b) {
    return a.size() == b.size() && sodium_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace audkit::server
