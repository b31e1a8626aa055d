#include "audkit/network/telemetry.hpp"

#include <cstdlib>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sys/utsname.h>

#include "audkit/base/id_and_time_source.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/network/http_executor.hpp"
#include "audkit/tree/aud_context.hpp"

namespace audkit {
namespace {

std::uint64_t nowInMilliseconds() { return static_cast<std::uint64_t>(IdAndTimeSource::secondsSince1970() * 1000.0); }

struct SystemName {
    std::string name;
    std::string release;
    std::string machine;
};

SystemName systemName() {
    utsname names{};
    if (::uname(&names) != 0) return {};
    return {names.sysname, names.release, names.machine};
}

void post(HttpTransport& transport, const std::string& url, const Json& body) {
    auto request = postRequest(URLWrapper(url), body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace),
                               ContentType::json, nullptr);
    request.timeout = telemetryTimeout;
    send(transport, request, SuccessfulMessage::none);
}

std::mutex addressesMutex;
TelemetryAddresses configuredAddresses;

std::optional<std::string> environmentAddress(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return std::nullopt;
    return std::string(value);
}

}  // namespace

bool telemetryDisabledByEnvironment() {
    const char* value = std::getenv("DO_NOT_TRACK");
    return value != nullptr && std::string(value) == "1";
}

void setTelemetryAddresses(TelemetryAddresses addresses) {
    const std::lock_guard lock(addressesMutex);
    configuredAddresses = std::move(addresses);
}

TelemetryAddresses telemetryAddresses() {
    const std::lock_guard lock(addressesMutex);
    TelemetryAddresses addresses = configuredAddresses;
    if (!addresses.analytics) addresses.analytics = environmentAddress("AUDKIT_ANALYTICS_URL");
    if (!addresses.usageEvents) addresses.usageEvents = environmentAddress("AUDKIT_USAGE_URL");
    return addresses;
}

std::string deviceModelIdentifier() {
    if (const char* simulator = std::getenv("SIMULATOR_MODEL_IDENTIFIER")) return simulator;
    return systemName().machine;
}

std::shared_ptr<Amplitude> Amplitude::make(std::shared_ptr<HttpTransport> transport,
                                           const std::optional<std::string>& userId, std::string sendEventURL) {
    if (!userId) return nullptr;
    return std::shared_ptr<Amplitude>(new Amplitude(std::move(transport), *userId, std::move(sendEventURL)));
}

Amplitude::Amplitude(std::shared_ptr<HttpTransport> transport, std::string userId, std::string sendEventURL)
    : transport_(std::move(transport)),
      userId_(std::move(userId)),
      sendEventURL_(std::move(sendEventURL)),
      sessionId_(nowInMilliseconds()) {}

Json Amplitude::payload(const std::string& eventType, const Json& eventProperties) const {
    const auto system = systemName();
    Json event = Json::object();
    event["user_id"] = userId_;
    event["session_id"] = sessionId_;
    event["event_type"] = eventType;
    event["app_version"] = audVersion();
    event["platform"] = system.name;
    event["os_version"] = system.release;
    event["device_model"] = deviceModelIdentifier();
    event["event_properties"] = eventProperties.is_object() ? eventProperties : Json::object();
    Json body = Json::object();
    body["api_key"] = analyticsProjectKey;
    body["events"] = Json::array({event});
    return body;
}

void Amplitude::send(const std::string& eventType, const Json& eventProperties) {
    post(*transport_, sendEventURL_, payload(eventType, eventProperties));
}

void Amplitude::sendEvent(const std::string& eventType, const Json& eventProperties) {
    try {
        send(eventType, eventProperties);
    } catch (const std::exception&) {
        // Telemetry is fire-and-forget.
    }
}

void Amplitude::sendError(const std::string& eventType, const std::string& errorText) {
    sendEvent(eventType + ":error", Json{{"error", errorText}});
}

UsageServiceClient::UsageServiceClient(std::shared_ptr<HttpTransport> transport, std::optional<std::string> userId,
                                       std::optional<std::string> organizationId, std::optional<std::string> distinctId,
                                       std::string usageEventPath)
    : transport_(std::move(transport)),
      userId_(std::move(userId)),
      organizationId_(std::move(organizationId)),
      distinctId_(std::move(distinctId)),
      usageEventPath_(std::move(usageEventPath)) {}

Json UsageServiceClient::body(UsageServiceEventType eventType) const {
    Json body = Json::object();
    body["version"] = "v2";
    body["event"] = eventType == UsageServiceEventType::login ? "login" : "scan";
    body["productName"] = "aud-kit-mobile";
    if (organizationId_) body["organization"] = *organizationId_;
    body["productComponent"] = "sdk-ios";
    body["productComponentVersion"] = audVersion();
    if (distinctId_) body["distinctId"] = *distinctId_;
    if (userId_) body["userId"] = *userId_;
    body["dateTime"] = nowInMilliseconds();
    return body;
}

void UsageServiceClient::send(UsageServiceEventType eventType) {
    try {
        post(*transport_, usageEventPath_, body(eventType));
    } catch (const std::exception&) {
        ZKLog::debug(eventType == UsageServiceEventType::login ? "Unable to send usage service login event."
                                                               : "Unable to send usage service scan event.");
    }
}

}  // namespace audkit
