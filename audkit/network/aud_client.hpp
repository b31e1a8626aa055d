#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audkit/base/error.hpp"
#include "audkit/network/http_request.hpp"
#include "audkit/network/http_transport.hpp"
#include "audkit/network/url_wrapper.hpp"
#include "audkit/rules/aud_kit_result_key.hpp"

namespace audkit {

class AudResult;

struct AudUser {
    std::string userId;
    std::string email;
    std::optional<std::string> usageServiceOrg;
};

class AudClientError : public MessageError {
public:
    enum class Case {
        couldNotSendScan,
        couldNotTagScan,
        tagsUnableToBeSerialized,
        couldNotDeleteScan,
        couldNotGetScan,
        couldNotUpdateScan,
        couldNotVerifyUser,
        couldNotSerializeResult
    };
    explicit AudClientError(Case errorCase, std::string cause = {}, int statusCode = 0);
    Case errorCase() const { return case_; }
    // What went wrong underneath (the transport's or the server's words); the
    // message itself stays the same for every cause.
    const std::string& cause() const { return cause_; }
    // The server's HTTP status where it answered with an error, else 0.
    int statusCode() const { return statusCode_; }

private:
    Case case_;
    std::string cause_;
    int statusCode_;
};

// A result key whose part is empty, "." or "..": as a path it would name
// another resource.
class InvalidResultKey : public MessageError {
public:
    explicit InvalidResultKey(const std::string& part)
        : MessageError("\"" + part + "\" cannot be part of a result key (userId/packageName/resultId)") {}
};

// A password login whose https backend names a plain-http authentication
// server: the password would travel unencrypted.
class InsecureAuthenticationServer : public MessageError {
public:
    InsecureAuthenticationServer(const std::string& server, const std::string& authentication)
        : MessageError("the backend " + server + " names the authentication server " + authentication +
                       ", which is not https: the password is not sent there") {}
};

// The client of the results backend: checks its credential at once, then
// posts, fetches, tags, renames and deletes results.
class AudClient {
public:
    // An empty server address is the default backend. Runs the user check;
    // throws couldNotVerifyUser (or URLinvalidFormat) when it fails.
    AudClient(std::shared_ptr<HttpTransport> transport, std::shared_ptr<Authentication> authentication,
              const std::string& serverURL, std::optional<std::string> organizationId = std::nullopt);
    // The password login: asks the backend for its authentication server,
    // logs in there, then checks the user. An https backend that names an
    // http authentication server throws InsecureAuthenticationServer.
    static std::unique_ptr<AudClient> withPassword(std::shared_ptr<HttpTransport> transport,
                                                   const std::string& username, const std::string& password,
                                                   const std::string& serverURL,
                                                   std::optional<std::string> organizationId = std::nullopt);

    // Every key is sent part by part percent-encoded; a part that is empty,
    // "." or ".." throws InvalidResultKey before anything is sent.

    // The current user; asks the server only the first time.
    const AudUser& verifyUser();
    // Posts the result gzip-compressed and returns the key the server gave it.
    AudKitResultKey postResult(const AudResult& result);
    // The result document as the server returns it.
    std::string getResult(const AudKitResultKey& key);
    AudKitResultKey tagResult(const AudKitResultKey& key, const std::vector<std::string>& tags);
    // A blank name changes nothing and sends nothing. A reply without a body
    // (204, or an empty 200) is a rename that happened.
    void updateScanName(const AudKitResultKey& key, const std::string& name);
    AudKitResultKey deleteResult(const AudKitResultKey& key);

    const URLWrapper& serverURL() const { return serverURL_; }
    const std::optional<AudUser>& user() const { return user_; }
    const std::optional<std::string>& organizationId() const { return organizationId_; }
    void setOrganizationId(std::optional<std::string> organizationId) { organizationId_ = std::move(organizationId); }
    std::optional<std::string> analyticsUserId;

private:
    std::shared_ptr<HttpTransport> transport_;
    std::shared_ptr<Authentication> authentication_;
    URLWrapper serverURL_;
    std::optional<AudUser> user_;
    std::optional<std::string> organizationId_;
};

}  // namespace audkit
