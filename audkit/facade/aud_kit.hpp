#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audkit/base/error.hpp"
#include "audkit/network/access_token.hpp"
#include "audkit/network/aud_client.hpp"
#include "audkit/network/telemetry.hpp"
#include "audkit/rules/aud_conf.hpp"
#include "audkit/rules/aud_result.hpp"
#include "audkit/tree/platform.hpp"
#include "audkit/tree/text_recognizer.hpp"

namespace audkit {

class AudKitError : public MessageError {
public:
    enum class Case { noViewFound, couldNotFindHomeDir, couldNotSerialize, notLoggedIn, generic };
    explicit AudKitError(Case errorCase);
    Case errorCase() const { return case_; }

private:
    Case case_;
};

// The backend answered a request for a result with something that is no
// result document; what was wrong is kept in the message.
class MalformedResultError : public MessageError {
public:
    MalformedResultError(const AudKitResultKey& key, const std::string& cause)
        : MessageError("the server's reply for result " + key.description() + " is no result document: " + cause) {}
};

// The result was stored by the backend, but naming or tagging it afterwards
// failed: the key is kept so the stored result is not lost to the caller.
class PostFollowUpError : public MessageError {
public:
    PostFollowUpError(AudKitResultKey key, std::string step, const std::string& cause);
    const AudKitResultKey& key() const { return key_; }
    // "naming" or "tagging".
    const std::string& step() const { return step_; }

private:
    AudKitResultKey key_;
    std::string step_;
};

// The library's entry point. A backend instance exists only with credentials:
// each login checks them with the backend before it returns. An offline
// instance scans and saves locally and never touches the network; what needs
// the backend throws AudKitError notLoggedIn there.
class AudKit {
public:
    static std::unique_ptr<AudKit> offline();
    static std::unique_ptr<AudKit> login(std::shared_ptr<HttpTransport> transport, const std::string& username,
                                         const std::string& password, const std::string& serverURL);
    static std::unique_ptr<AudKit> loginWithAPIKey(std::shared_ptr<HttpTransport> transport, const std::string& key,
                                                   const std::string& serverURL);
    static std::unique_ptr<AudKit> loginWithAccessToken(std::shared_ptr<HttpTransport> transport,
                                                        std::shared_ptr<AccessToken> token,
                                                        const std::string& serverURL,
                                                        std::optional<std::string> organizationId = std::nullopt);

    const std::shared_ptr<AudConf>& configuration() const { return configuration_; }
    // Also hands the configuration the facade's analytics sender. Null sets the
    // default configuration.
    void setConfiguration(std::shared_ptr<AudConf> configuration);

    // The text recogniser scans use; by default the platform's.
    void setTextRecognizer(std::shared_ptr<TextRecognizer> recognizer) { recognizer_ = std::move(recognizer); }

    // One scan of an element, or of an application by its bundle identifier
    // (which stays in the configuration).
    std::shared_ptr<AudResult> runOnElement(Platform& platform, UIElement& element);
    std::shared_ptr<AudResult> runOnBundleIdentifier(Platform& platform, const std::string& bundleIdentifier);

    // Writes the result document below the host home (SIMULATOR_HOST_HOME) and
    // returns the path; an existing file is never overwritten.
    std::string saveResult(AudResult& result, const std::string& path, const std::string& fileName,
                           const std::optional<std::string>& scanName = std::nullopt);
    // The same, into a folder given as it is (absolute, or relative to the
    // working directory).
    std::string saveResultInFolder(AudResult& result, const std::string& folder, const std::string& fileName,
                                   const std::optional<std::string>& scanName = std::nullopt);
    // Posts, then names and tags the stored result; a failure after the post
    // throws PostFollowUpError with the key.
    AudKitResultKey postResult(AudResult& result, const std::vector<std::string>& tags,
                               const std::optional<std::string>& scanName = std::nullopt);
    std::shared_ptr<AudResult> getResult(const AudKitResultKey& key);
    void tagResult(const AudKitResultKey& key, const std::vector<std::string>& tags);
    void deleteResult(const AudKitResultKey& key);
    void updateScanName(const AudKitResultKey& key, const std::string& name);

    bool isOffline() const { return !client_; }
    // Throws AudKitError notLoggedIn on an offline instance.
    AudClient& client();
    const std::shared_ptr<Amplitude>& analytics() const { return analytics_; }
    const std::shared_ptr<UsageServiceClient>& usageService() const { return usageService_; }

private:
    AudKit(std::shared_ptr<HttpTransport> transport, std::unique_ptr<AudClient> client);
    AudKit();
    std::string save(AudResult& result, const std::optional<std::string>& directory, const std::string& fileName,
                     const std::optional<std::string>& scanName);
    void track(const std::string& event);
    void track(const std::string& event, const Json& properties);

    std::shared_ptr<HttpTransport> transport_;
    std::unique_ptr<AudClient> client_;
    std::shared_ptr<AudConf> configuration_;
    std::shared_ptr<Amplitude> analytics_;
    std::shared_ptr<UsageServiceClient> usageService_;
    std::shared_ptr<TextRecognizer> recognizer_;
};

}  // namespace audkit
