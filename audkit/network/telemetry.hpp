#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "audkit/base/json.hpp"
#include "audkit/network/http_transport.hpp"
#include "audkit/rules/analytics_sender.hpp"

namespace audkit {

inline constexpr const char* analyticsProjectKey = "5f3c2a9e7b1d4c6a8e0f2b4d6a8c0e1f";

// Telemetry never holds up a scan for long: its requests give up sooner than
// the backend's.
inline constexpr std::chrono::milliseconds telemetryTimeout{5'000};

// True when the user asked not to be tracked (DO_NOT_TRACK=1): no sender is made.
bool telemetryDisabledByEnvironment();

// Where telemetry goes. Nothing is sent to an address nobody configured: each
// kind goes only where the caller (setTelemetryAddresses) or the environment
// (AUDKIT_ANALYTICS_URL, AUDKIT_USAGE_URL) sends it, and DO_NOT_TRACK=1 still
// turns both off.
struct TelemetryAddresses {
    std::optional<std::string> analytics;    // product-analytics events
    std::optional<std::string> usageEvents;  // login and scan records of an organisation
};
// For the whole process; an address set here wins over the environment's.
void setTelemetryAddresses(TelemetryAddresses addresses);
TelemetryAddresses telemetryAddresses();

// The device model: SIMULATOR_MODEL_IDENTIFIER, else the machine of uname.
std::string deviceModelIdentifier();

// Product-analytics events, posted to an Amplitude HTTP API endpoint.
class Amplitude : public AnalyticsSender {
public:
    // None without a user id.
    static std::shared_ptr<Amplitude> make(std::shared_ptr<HttpTransport> transport,
                                           const std::optional<std::string>& userId,
                                           std::string sendEventURL);

    // Throws what the request throws.
    void send(const std::string& eventType, const Json& eventProperties);
    // The same, with every error dropped: events never fail the operation.
    void sendEvent(const std::string& eventType, const Json& eventProperties) override;
    // "<event>:error" with the single property "error".
    void sendError(const std::string& eventType, const std::string& errorText);

    Json payload(const std::string& eventType, const Json& eventProperties) const;
    std::uint64_t sessionId() const { return sessionId_; }

private:
    Amplitude(std::shared_ptr<HttpTransport> transport, std::string userId, std::string sendEventURL);
    std::shared_ptr<HttpTransport> transport_;
    std::string userId_;
    std::string sendEventURL_;
    std::uint64_t sessionId_;
};

enum class UsageServiceEventType { login, scan };

// One record per login and per scan to the usage service.
class UsageServiceClient {
public:
    UsageServiceClient(std::shared_ptr<HttpTransport> transport, std::optional<std::string> userId,
                       std::optional<std::string> organizationId, std::optional<std::string> distinctId,
                       std::string usageEventPath);

    // Failures are logged ("Unable to send usage service scan event.") and dropped.
    void send(UsageServiceEventType eventType);
    Json body(UsageServiceEventType eventType) const;

private:
    std::shared_ptr<HttpTransport> transport_;
    std::optional<std::string> userId_;
    std::optional<std::string> organizationId_;
    std::optional<std::string> distinctId_;
    std::string usageEventPath_;
};

}  // namespace audkit
