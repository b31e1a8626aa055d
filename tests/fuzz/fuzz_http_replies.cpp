// The readers of the backend's replies: the authentication-server reply, the
// token reply of a password grant, the user check, result keys and error
// bodies. The first byte picks the HTTP status; the rest is the body every
// request receives. Each reader either accepts it or throws the library's
// Error.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "audkit/base/error.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/network/access_token.hpp"
#include "audkit/network/api_key.hpp"
#include "audkit/network/aud_auth.hpp"
#include "audkit/network/aud_client.hpp"
#include "audkit/network/http_executor.hpp"
#include "tests/fuzz/replayed_replies.hpp"

namespace {

using namespace audkit;

using fuzz::attempt;
using fuzz::Replay;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ZKLog::setSink([](std::string_view) {});
    if (size == 0) return 0;
    constexpr long statuses[] = {200, 200, 200, 204, 302, 400, 401, 404, 500};
    const long status = statuses[data[0] % (sizeof statuses / sizeof statuses[0])];
    auto transport = std::make_shared<Replay>(status, std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    const std::string server = "http://127.0.0.1:9";
    attempt([&] { (void)AudAuth::fetch(*transport, server); });
    attempt([&] { AccessToken token(transport, "ann@example.com", "secret", "shop", "", server); });
    attempt([&] {
        AudClient client(transport, std::make_shared<APIKey>("key"), server);
        const AudKitResultKey key{"com.example.shop", "u1", "r1"};
        attempt([&] { (void)client.tagResult(key, {"nightly"}); });
        attempt([&] { client.updateScanName(key, "Checkout"); });
        attempt([&] { (void)client.deleteResult(key); });
        attempt([&] { (void)client.getResult(key); });
    });
    return 0;
}
