#include "audkit/network/http_executor.hpp"

#include <nlohmann/json.hpp>

#include "audkit/base/strict_json.hpp"
#include "audkit/base/zk_log.hpp"

namespace audkit {
namespace {

// "\n\tmessage: ...\n\terror: ..." from a JSON object reply, else "No message available.".
std::string failureText(const std::string& body) {
    constexpr const char* noMessage = "No message available.";
    const auto reply = parseFromOutside<nlohmann::json>(body, false);
    if (reply.is_discarded() || !reply.is_object()) return noMessage;
    const auto member = [&](const char* key, const char* fallback) {
        const auto found = reply.find(key);
        return found != reply.end() && found->is_string() ? found->get<std::string>() : std::string(fallback);
    };
    return "\n\tmessage: " + member("message", noMessage) + "\n\terror: " + member("error", "");
}

}  // namespace

std::string successfulMessageText(SuccessfulMessage message) {
    switch (message) {
        case SuccessfulMessage::resultPosted: return "200 OK - Result posted successfully.";
        case SuccessfulMessage::resultDeleted: return "200 OK - Result deleted successfully.";
        case SuccessfulMessage::resultRetrived: return "200 OK - Result retrieved successfully.";
        case SuccessfulMessage::resultTagged: return "200 OK - Result tagged successfully.";
        case SuccessfulMessage::scanNameUpdated: return "200 OK - Scan name updated successfully.";
        case SuccessfulMessage::userVerified: return "200 OK - User verified. Successfully logged in.";
        case SuccessfulMessage::serverVerified: return "200 OK - Server verified successfully.";
        case SuccessfulMessage::generic: return "200 OK";
        case SuccessfulMessage::none: return "";
    }
    return "";
}

ResponseError ResponseError::generalUnexpectedResponse(long statusCode, const std::string& message) {
    return {Case::generalUnexpectedResponse, message + " (" + std::to_string(statusCode) + ")", statusCode};
}

std::string send(HttpTransport& transport, const HttpRequest& request, SuccessfulMessage successMessage,
                 ReplyBody body) {
    auto reply = transport.perform(request);
    if (!reply.status) throw ResponseError::noResponseStatus();
    const bool noBody = !reply.body || reply.body->empty();
    if (body == ReplyBody::optional && (*reply.status == 204 || (*reply.status == 200 && noBody))) {
        if (successMessage != SuccessfulMessage::none) ZKLog::debug(successfulMessageText(successMessage));
        return {};
    }
    if (noBody) throw ResponseError::dataIsEmpty(*reply.status);
    if (*reply.status != 200) throw ResponseError::generalUnexpectedResponse(*reply.status, failureText(*reply.body));
    if (successMessage != SuccessfulMessage::none) ZKLog::debug(successfulMessageText(successMessage));
    return std::move(*reply.body);
}

}  // namespace audkit
