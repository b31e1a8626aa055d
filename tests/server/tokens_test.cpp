#include <gtest/gtest.h>

#include "tools/audkit-server/auth/login_limiter.hpp"
#include "tools/audkit-server/auth/tokens.hpp"

namespace audkit::server {
namespace {

TEST(Tokens, OnlyAnUntouchedTokenOfTheRightKindBeforeItsExpiryNamesItsUser) {
    const std::string key(32, 'k'), otherKey(32, 'o');
    const auto tokens = issueTokens("u1", key, 1000);
    EXPECT_EQ(tokenUser(tokens.access, "access", key, 1000 + accessTokenLifetime - 1), "u1");
    // Expired at its expiry second, as the client counts it.
    EXPECT_FALSE(tokenUser(tokens.access, "access", key, 1000 + accessTokenLifetime));
    EXPECT_FALSE(tokenUser(tokens.access, "refresh", key, 1000));
    EXPECT_EQ(tokenUser(tokens.refresh, "refresh", key, 1000 + refreshTokenLifetime - 1), "u1");
    EXPECT_FALSE(tokenUser(tokens.access, "access", otherKey, 1000));
    // Another payload under the same signature.
    auto forged = tokens.access;
    const auto dot = forged.rfind('.');
    forged.replace(3, dot - 3, issueTokens("admin", otherKey, 1000).access.substr(3, dot - 3));
    EXPECT_FALSE(tokenUser(forged, "access", key, 1000));
    EXPECT_FALSE(tokenUser("v1..", "access", key, 1000));
    EXPECT_FALSE(tokenUser("", "access", key, 1000));
}

TEST(LoginLimiter, RefusesAfterTheLimitUntilTheWindowEnds) {
    LoginLimiter limiter(3, std::chrono::seconds(60));
    const auto start = LoginLimiter::Clock::now();
    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_EQ(limiter.waitFor("ann", "10.0.0.1", start), 0);
        limiter.failed("ann", "10.0.0.1", start);
    }
    EXPECT_EQ(limiter.waitFor("ann", "10.0.0.9", start + std::chrono::seconds(20)), 40);
    // Another user from the same address may still try, up to the address's own limit.
    EXPECT_EQ(limiter.waitFor("bob", "10.0.0.1", start), 0);
    EXPECT_EQ(limiter.waitFor("ann", "10.0.0.9", start + std::chrono::seconds(60)), 0);
    for (int attempt = 0; attempt < 12; ++attempt) limiter.failed("user" + std::to_string(attempt), "10.0.0.2", start);
    EXPECT_GT(limiter.waitFor("carl", "10.0.0.2", start), 0);
}

}  // namespace
}  // namespace audkit::server
