#include "audkit/facade/aud_kit.hpp"

#include <chrono>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "audkit/base/files.hpp"
#include "audkit/base/strict_json.hpp"
#include "audkit/base/text_helpers.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/facade/aud.hpp"
#include "audkit/facade/capture_context.hpp"
#include "audkit/network/api_key.hpp"

namespace audkit {
namespace {

const char* facadeErrorText(AudKitError::Case errorCase) {
    using C = AudKitError::Case;
    switch (errorCase) {
        case C::noViewFound: return "No view found on view controller.";
        case C::couldNotFindHomeDir: return "Could not find home directory.";
        case C::couldNotSerialize: return "Could not serialize result into JSON.";
        case C::notLoggedIn: return "Unable to verify authentication. Please login using a `login` method.";
        case C::generic: return "There was an issue. Could not complete request.";
    }
    return "";
}

}  // namespace

AudKitError::AudKitError(Case errorCase) : MessageError(facadeErrorText(errorCase)), case_(errorCase) {}

PostFollowUpError::PostFollowUpError(AudKitResultKey key, std::string step, const std::string& cause)
    : MessageError("The result was posted as " + key.description() + ", but " + step + " it failed: " + cause),
      key_(std::move(key)),
      step_(std::move(step)) {}

AudKit::AudKit(std::shared_ptr<HttpTransport> transport, std::unique_ptr<AudClient> client)
    : transport_(std::move(transport)), client_(std::move(client)), configuration_(std::make_shared<AudConf>()) {
    // Analytics know the user by the backend's user id once it is verified.
    if (!client_->analyticsUserId && client_->user()) client_->analyticsUserId = client_->user()->userId;
    if (telemetryDisabledByEnvironment()) return;
    const auto addresses = telemetryAddresses();
    if (addresses.analytics) analytics_ = Amplitude::make(transport_, client_->analyticsUserId, *addresses.analytics);
    if (addresses.usageEvents && client_->user() && client_->organizationId())
        usageService_ = std::make_shared<UsageServiceClient>(
            transport_, client_->user()->email, client_->organizationId(), std::nullopt, *addresses.usageEvents);
}

AudKit::AudKit() : configuration_(std::make_shared<AudConf>()) {}

std::unique_ptr<AudKit> AudKit::offline() { return std::unique_ptr<AudKit>(new AudKit()); }

AudClient& AudKit::client() {
    if (!client_) throw AudKitError(AudKitError::Case::notLoggedIn);
    return *client_;
}

std::unique_ptr<AudKit> AudKit::login(std::shared_ptr<HttpTransport> transport, const std::string& username,
                                      const std::string& password, const std::string& serverURL) {
    auto client = AudClient::withPassword(transport, username, password, serverURL);
    std::unique_ptr<AudKit> kit(new AudKit(std::move(transport), std::move(client)));
    kit->track("login:username");
    if (kit->usageService_) kit->usageService_->send(UsageServiceEventType::login);
    return kit;
}

std::unique_ptr<AudKit> AudKit::loginWithAPIKey(std::shared_ptr<HttpTransport> transport, const std::string& key,
                                                const std::string& serverURL) {
    auto client = std::make_unique<AudClient>(transport, std::make_shared<APIKey>(key), serverURL);
    std::unique_ptr<AudKit> kit(new AudKit(std::move(transport), std::move(client)));
    kit->track("login:api_key");
    if (kit->usageService_) kit->usageService_->send(UsageServiceEventType::login);
    return kit;
}

std::unique_ptr<AudKit> AudKit::loginWithAccessToken(std::shared_ptr<HttpTransport> transport,
                                                     std::shared_ptr<AccessToken> token, const std::string& serverURL,
                                                     std::optional<std::string> organizationId) {
    auto client = std::make_unique<AudClient>(transport, std::move(token), serverURL);
    client->setOrganizationId(std::move(organizationId));
    std::unique_ptr<AudKit> kit(new AudKit(std::move(transport), std::move(client)));
    kit->track("login:username");
    if (kit->usageService_) kit->usageService_->send(UsageServiceEventType::login);
    return kit;
}

void AudKit::setConfiguration(std::shared_ptr<AudConf> configuration) {
    configuration_ = configuration ? std::move(configuration) : std::make_shared<AudConf>();
    configuration_->analytics = analytics_;
}

void AudKit::track(const std::string& event) { track(event, Json::object()); }

void AudKit::track(const std::string& event, const Json& properties) {
    if (analytics_) analytics_->sendEvent(event, properties);
}

std::shared_ptr<AudResult> AudKit::runOnElement(Platform& platform, UIElement& element) {
    const auto start = std::chrono::steady_clock::now();
    try {
        const auto context = captureContext(platform, element, *configuration_);
        if (client_ && client_->organizationId()) {
            try {
                client_->verifyUser();
            } catch (const std::exception&) {
                // the scan does not depend on it
            }
        }
        if (usageService_) usageService_->send(UsageServiceEventType::scan);
        const auto recognizer = recognizer_ ? recognizer_ : platform.textRecognizer();
        auto result = Aud(configuration_, recognizer.get()).run(context);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const bool analyzer = configuration_->bundleId && !configuration_->bundleId->empty();
        track("scan:create", Json{{"scan_time", seconds}, {"scan_type", analyzer ? "analyzer" : "SDK"}});
        return result;
    } catch (const std::exception& error) {
        const auto* messages = dynamic_cast<const ErrorMessages*>(&error);
        const auto text = messages && messages->message() ? *messages->message() : std::string(error.what());
        if (analytics_) analytics_->sendError("scan:create", text);
        throw;
    }
}

std::shared_ptr<AudResult> AudKit::runOnBundleIdentifier(Platform& platform, const std::string& bundleIdentifier) {
    configuration_->bundleId = bundleIdentifier;
    const auto application = platform.applicationControl().application(bundleIdentifier);
    return runOnElement(platform, *application);
}

std::string AudKit::saveResult(AudResult& result, const std::string& path, const std::string& fileName,
                               const std::optional<std::string>& scanName) {
    const char* home = std::getenv("SIMULATOR_HOST_HOME");
    const auto folder =
        home ? std::optional(Files::joinPath(home, path.starts_with("~") ? path.substr(1) : path)) : std::nullopt;
    return save(result, folder, fileName, scanName);
}

std::string AudKit::saveResultInFolder(AudResult& result, const std::string& folder, const std::string& fileName,
                                       const std::optional<std::string>& scanName) {
    return save(result, folder, fileName, scanName);
}

std::string AudKit::save(AudResult& result, const std::optional<std::string>& directory, const std::string& fileName,
                         const std::optional<std::string>& scanName) {
    if (client_) client_->verifyUser();
    if (scanName) {
        result.scanName = scanName;
        track("scan:update_name", Json{{"scan_name", *scanName}});
    }
    auto& metaData = result.audContext->audMetaData;
    metaData.customScanName = scanName;
    track("scan:save");
    ZKLog::debug("Attempting to save scan to local directory.");
    if (!directory) {
        metaData.customScanName.reset();
        throw AudKitError(AudKitError::Case::couldNotFindHomeDir);
    }
    std::string document;
    try {
        document = resultDocument(result, 2);
    } catch (...) {
        metaData.customScanName.reset();
        throw;
    }
    metaData.customScanName.reset();
    // A screen title may hold a slash; as a file name it would name a folder.
    std::string name =
        fileName.empty() ? metaData.appIdentifier + "-" + scanName.value_or(metaData.screenTitle) : fileName;
    for (auto& c : name)
        if (c == '/' || c == '\0') c = '-';
    return Files::save(document, *directory, name, "json");
}

AudKitResultKey AudKit::postResult(AudResult& result, const std::vector<std::string>& tags,
                                   const std::optional<std::string>& scanName) {
    auto& backend = client();
    result.scanName = scanName;
    result.tags = tags;
    const auto key = backend.postResult(result);
    track("scan:send");
    auto followUp = [&key](const char* step, auto&& action) {
        try {
            action();
        } catch (const std::exception& error) {
            throw PostFollowUpError(key, step, error.what());
        }
    };
    if (scanName && !isBlank(*scanName)) {
        track("scan:update_name", Json{{"scan_name", *scanName}});
        followUp("naming", [&] { backend.updateScanName(key, *scanName); });
    }
    if (!tags.empty()) {
        track("scan:tag");
        followUp("tagging", [&] { backend.tagResult(key, tags); });
    }
    return key;
}

std::shared_ptr<AudResult> AudKit::getResult(const AudKitResultKey& key) {
    track("scan:retrieve");
    const auto reply = client().getResult(key);
    try {
        return resultFromJson(parseFromOutside<Json>(reply));
    } catch (const nlohmann::json::exception& error) {
        throw MalformedResultError(key, error.what());
    } catch (const Error& error) {  // a colour or rectangle no result holds
        throw MalformedResultError(key, error.what());
    }
}

void AudKit::tagResult(const AudKitResultKey& key, const std::vector<std::string>& tags) {
    track("scan:tag");
    client().tagResult(key, tags);
}

void AudKit::deleteResult(const AudKitResultKey& key) {
    track("scan:delete");
    client().deleteResult(key);
}

void AudKit::updateScanName(const AudKitResultKey& key, const std::string& name) {
    track("scan:update_name", Json{{"scan_name", name}});
    client().updateScanName(key, name);
}

}  // namespace audkit
