#include "tools/audkit-server/auth/tokens.hpp"

#include <nlohmann/json.hpp>
#include <sodium.h>

namespace audkit::server {
namespace {

std::string base64url(const std::string& bytes) {
    std::string text(sodium_base64_encoded_len(bytes.size(), sodium_base64_VARIANT_URLSAFE_NO_PADDING), '\0');
    sodium_bin2base64(text.data(), text.size(), reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                      sodium_base64_VARIANT_URLSAFE_NO_PADDING);
    text.pop_back();
    return text;
}

std::optional<std::string> fromBase64url(const std::string& text) {
    std::string bytes(text.size(), '\0');
    std::size_t size = 0;
    if (sodium_base642bin(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size(), text.data(), text.size(),
                          nullptr, &size, nullptr, sodium_base64_VARIANT_URLSAFE_NO_PADDING) != 0)
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

std::string signature(const std::string& signedText, const std::string& key) {
    std::string mac(crypto_auth_hmacsha256_BYTES, '\0');
    crypto_auth_hmacsha256(reinterpret_cast<unsigned char*>(mac.data()),
                           reinterpret_cast<const unsigned char*>(signedText.data()), signedText.size(),
                           reinterpret_cast<const unsigned char*>(key.data()));
    return mac;
}

std::string token(const std::string& userId, const std::string& kind, std::int64_t expiry, const std::string& key) {
    // A random nonce keeps two tokens issued in the same second apart.
    unsigned char nonce[8];
    randombytes_buf(nonce, sizeof nonce);
    const auto payload = nlohmann::json{{"sub", userId},
                                        {"typ", kind},
                                        {"exp", expiry},
                                        {"jti", base64url(std::string(reinterpret_cast<char*>(nonce), sizeof nonce))}}
                             .dump();
    const auto body = "v1." + base64url(payload);
    return body + "." + base64url(signature(body, key));
}

}  // namespace

std::string signedToken(const std::string& userId, const std::string& kind, std::int64_t lifetime,
                        const std::string& key, std::int64_t now) {
    return token(userId, kind, now + lifetime, key);
}

TokenPair issueTokens(const std::string& userId, const std::string& key, std::int64_t now) {
    return {token(userId, "access", now + accessTokenLifetime, key),
            token(userId, "refresh", now + refreshTokenLifetime, key), accessTokenLifetime, refreshTokenLifetime};
}

std::optional<std::string> tokenUser(const std::string& text, const std::string& kind, const std::string& key,
                                     std::int64_t now) {
    if (text.size() > 4096 || !text.starts_with("v1.")) return std::nullopt;
    const auto dot = text.rfind('.');
    if (dot <= 3) return std::nullopt;
    const auto body = text.substr(0, dot);
    const auto mac = fromBase64url(text.substr(dot + 1));
    const auto expected = signature(body, key);
    if (!mac || mac->size() != expected.size() ||
        crypto_verify_32(reinterpret_cast<const unsigned char*>(mac->data()),
                         reinterpret_cast<const unsigned char*>(expected.data())) != 0)
        return std::nullopt;
    const auto payload = fromBase64url(body.substr(3));
    if (!payload) return std::nullopt;
    const auto json = nlohmann::json::parse(*payload, nullptr, false);
    if (!json.is_object() || !json.contains("sub") || !json["sub"].is_string() || json.value("typ", "") != kind ||
        !json.contains("exp") || !json["exp"].is_number_integer() || json["exp"].get<std::int64_t>() <= now)
        return std::nullopt;
    return json["sub"].get<std::string>();
}

}  // namespace audkit::server
