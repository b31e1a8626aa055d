#include "audkit/network/aud_auth.hpp"

#include <nlohmann/json.hpp>

#include "audkit/base/strict_json.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/network/default_addresses.hpp"
#include "audkit/network/http_executor.hpp"
#include "audkit/network/url_wrapper.hpp"

namespace audkit {

AudAuth AudAuth::fetch(HttpTransport& transport, const std::string& serverURL) {
    const auto url = URLWrapper(serverURL.empty() ? defaultServerAddress : serverURL).appending({"/auth-url"});
    const auto body = send(transport, getRequest(url, nullptr), SuccessfulMessage::serverVerified);
    const auto reply = parseFromOutside<nlohmann::json>(body, false);
    if (!reply.is_object() || !reply.contains("url") || !reply["url"].is_string() || !reply.contains("realm") ||
        !reply["realm"].is_string()) {
        ZKLog::always("ZUNIK ERROR: the reply of " + url.url() +
                      " is not an object with \"url\" and \"realm\" strings.");
        throw CouldNotGetAuthURL();
    }
    return AudAuth{reply["url"].get<std::string>(), reply["realm"].get<std::string>()};
}

}  // namespace audkit
