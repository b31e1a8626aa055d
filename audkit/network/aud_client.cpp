#include "audkit/network/aud_client.hpp"

#include <nlohmann/json.hpp>

#include "audkit/base/strict_json.hpp"
#include "audkit/base/text_helpers.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/network/access_token.hpp"
#include "audkit/network/aud_auth.hpp"
#include "audkit/network/default_addresses.hpp"
#include "audkit/network/gzip.hpp"
#include "audkit/network/http_executor.hpp"
#include "audkit/rules/aud_result.hpp"

namespace audkit {
namespace {

const char* clientErrorText(AudClientError::Case errorCase) {
    using C = AudClientError::Case;
    switch (errorCase) {
        case C::couldNotSendScan: return "Could not send scan to server.";
        case C::couldNotTagScan: return "Could not tag scan.";
        case C::tagsUnableToBeSerialized: return "Could not set tags to the correct format.";
        case C::couldNotDeleteScan: return "Could not delete scan from server.";
        case C::couldNotGetScan: return "Could not get scan from server.";
        case C::couldNotUpdateScan: return "Could not send an update to the server.";
        case C::couldNotVerifyUser:
            return "Authentication could not be validated. Please check your credentials and try again.";
        case C::couldNotSerializeResult: return "Could not serialize AudResult into JSON.";
    }
    return "";
}

// The reply as a result key, or the given error.
AudKitResultKey keyFromReply(const std::string& body, AudClientError::Case failure) {
    try {
        return resultKeyFromJson(parseFromOutside<Json>(body));
    } catch (const nlohmann::json::exception& error) {
        ZKLog::always(std::string("ZUNIK ERROR: ") + error.what());
        throw AudClientError(failure);
    }
}

// "userId/packageName/resultId" as path segments.
std::string keyPath(const AudKitResultKey& key) {
    std::string path;
    for (const auto* part : {&key.userId, &key.packageName, &key.resultId}) {
        if (part->empty() || *part == "." || *part == "..") throw InvalidResultKey(*part);
        path += (path.empty() ? "" : "/") + percentEncodedSegment(*part);
    }
    return path;
}

}  // namespace

AudClientError::AudClientError(Case errorCase, std::string cause, int statusCode)
    : MessageError(clientErrorText(errorCase)), case_(errorCase), cause_(std::move(cause)), statusCode_(statusCode) {}

AudClient::AudClient(std::shared_ptr<HttpTransport> transport, std::shared_ptr<Authentication> authentication,
                     const std::string& serverURL, std::optional<std::string> organizationId)
    : transport_(std::move(transport)),
      authentication_(std::move(authentication)),
      serverURL_(serverURL.empty() ? defaultServerAddress : serverURL),
      organizationId_(std::move(organizationId)) {
    verifyUser();
}

std::unique_ptr<AudClient> AudClient::withPassword(std::shared_ptr<HttpTransport> transport,
                                                   const std::string& username, const std::string& password,
                                                   const std::string& serverURL,
                                                   std::optional<std::string> organizationId) {
    const auto auth = AudAuth::fetch(*transport, serverURL);
    const std::string server = serverURL.empty() ? defaultServerAddress : serverURL;
    if (server.starts_with("https://") && !auth.url.starts_with("https://"))
        throw InsecureAuthenticationServer(server, auth.url);
    auto token = std::make_shared<AccessToken>(transport, username, password, auth.realm, "", auth.url);
    return std::make_unique<AudClient>(std::move(transport), std::move(token), serverURL, std::move(organizationId));
}

const AudUser& AudClient::verifyUser() {
    if (!user_) {
        ZKLog::debug("Verifying authentication...");
        try {
            const auto body =
                send(*transport_, getRequest(serverURL_.appending({"/attest/user"}), authentication_.get()),
                     SuccessfulMessage::userVerified);
            const auto reply = parseFromOutside<Json>(body);
            AudUser user{reply.at("userId").get<std::string>(), reply.at("email").get<std::string>(), std::nullopt};
            if (reply.contains("usageServiceOrg") && reply.at("usageServiceOrg").is_string())
                user.usageServiceOrg = reply.at("usageServiceOrg").get<std::string>();
            user_ = std::move(user);
        } catch (const ResponseError& error) {
            ZKLog::debug(std::string("Authentication failed: ") + error.what());
            const auto status =
                error.statusCode() != 0 ? "HTTP status " + std::to_string(error.statusCode()) + ": " : std::string();
            throw AudClientError(AudClientError::Case::couldNotVerifyUser, status + error.what(), error.statusCode());
        } catch (const std::exception& error) {
            ZKLog::debug(std::string("Authentication failed: ") + error.what());
            throw AudClientError(AudClientError::Case::couldNotVerifyUser, error.what());
        }
    }
    ZKLog::debug("Authentication verified.");
    return *user_;
}

AudKitResultKey AudClient::postResult(const AudResult& result) {
    ZKLog::debug("Attempting to send scan to server...");
    std::string document;
    try {
        document = resultDocument(result);
    } catch (const std::exception&) {
        throw AudClientError(AudClientError::Case::couldNotSerializeResult);
    }
    bool compressed = true;
    std::string body;
    try {
        body = gzipped(document);
    } catch (const GzipError&) {
        compressed = false;  // sent as it is
        body = std::move(document);
    }
    auto request = postRequest(serverURL_.appending({"/attest/result/aud"}), std::move(body), ContentType::json,
                               authentication_.get());
    if (compressed) request.addHeader(HeaderField::contentEncoding, "gzip");
    const auto reply = send(*transport_, request, SuccessfulMessage::resultPosted);
    const auto key = keyFromReply(reply, AudClientError::Case::couldNotSendScan);
    // Only logged: a key the server made up must not fail a post that happened.
    ZKLog::debug("Scan successfully sent to server with URL: " + std::string(defaultDashboardAddress) +
                 "/?userId=" + key.description());
    return key;
}

std::string AudClient::getResult(const AudKitResultKey& key) {
    ZKLog::debug("Attempting to get scan from server...");
    auto body =
        send(*transport_, getRequest(serverURL_.appending({"/attest/result/aud", keyPath(key)}), authentication_.get()),
             SuccessfulMessage::resultRetrived);
    ZKLog::debug("Retrieving scan from server successful.");
    return body;
}

AudKitResultKey AudClient::tagResult(const AudKitResultKey& key, const std::vector<std::string>& tags) {
    std::string joined;
    for (const auto& tag : tags) joined += (joined.empty() ? "" : " ") + tag;
    ZKLog::debug("Attempting to tag scan with tags " + joined);
    std::string body;
    try {
        body = Json(tags).dump(-1, ' ', false, nlohmann::json::error_handler_t::strict);
    } catch (const nlohmann::json::exception&) {
        throw AudClientError(AudClientError::Case::tagsUnableToBeSerialized);
    }
    const auto reply = send(*transport_,
                            postRequest(serverURL_.appending({"/attest/result/tag", keyPath(key)}), std::move(body),
                                        ContentType::json, authentication_.get()),
                            SuccessfulMessage::resultTagged);
    auto tagged = keyFromReply(reply, AudClientError::Case::couldNotTagScan);
    ZKLog::debug("Successfully tagged scans.");
    return tagged;
}

void AudClient::updateScanName(const AudKitResultKey& key, const std::string& name) {
    if (isBlank(name)) return;
    ZKLog::debug("Attempting to update scan name...");
    send(*transport_,
         putRequest(serverURL_.appending({"/attest/results/summaries", keyPath(key), "/name"}), name,
                    ContentType::plainText, authentication_.get()),
         SuccessfulMessage::scanNameUpdated, ReplyBody::optional);
}

AudKitResultKey AudClient::deleteResult(const AudKitResultKey& key) {
    ZKLog::debug("Attempting to delete scan from server...");
    const auto reply =
        send(*transport_, deleteRequest(serverURL_.appending({"/attest/result", keyPath(key)}), authentication_.get()),
             SuccessfulMessage::resultDeleted);
    auto deleted = keyFromReply(reply, AudClientError::Case::couldNotDeleteScan);
    ZKLog::debug("Scan successfully deleted.");
    return deleted;
}

}  // namespace audkit
