#include <gtest/gtest.h>

#include <cstdlib>
#include <httplib.h>
#include <nlohmann/json.hpp>
#include <thread>

#include "audkit/base/id_and_time_source.hpp"
#include "audkit/base/process_state.hpp"
#include "audkit/network/telemetry.hpp"
#include "audkit/platform/curl_transport.hpp"
#include "tests/support/local_server.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

// Collects every posted event body.
class Collector : public test::LocalServer {
public:
    Collector() {
        server.Post(R"(/.*)", [this](const httplib::Request& request, httplib::Response& reply) {
            bodies.push_back(request.body);
            reply.set_content("{\"code\":200}", "application/json");
        });
        start();
    }
    std::string address(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port) + path; }

    std::vector<std::string> bodies;
};

class TelemetryTest : public ::testing::Test {
protected:
    void SetUp() override {
        IdAndTimeSource::setClock([] { return 1'700'000'000.5; });
    }
    void TearDown() override {
        IdAndTimeSource::setClock(nullptr);
        ::unsetenv("SIMULATOR_MODEL_IDENTIFIER");
        ::setenv("DO_NOT_TRACK", "1", 1);  // as the test script runs every test
    }
    test::LogCapture log;
    Collector collector;
    std::shared_ptr<HttpTransport> transport = std::make_shared<CurlTransport>();
};

TEST_F(TelemetryTest, AnalyticsEventsCarryTheirEnvelope) {
    EXPECT_EQ(Amplitude::make(transport, std::nullopt, collector.address("/2/httpapi")), nullptr);
    ::setenv("SIMULATOR_MODEL_IDENTIFIER", "iPhone15,4", 1);
    const auto analytics = Amplitude::make(transport, "analytics-user", collector.address("/2/httpapi"));
    analytics->sendEvent("rule:ignore", Json{{"rule_ids", {"ColorContrast"}}});
    analytics->sendError("scan:create", "Unable to get view hierarchy.");
    ASSERT_EQ(collector.bodies.size(), 2U);
    const auto payload = nlohmann::json::parse(collector.bodies[0]);
    EXPECT_EQ(payload["api_key"].get<std::string>().size(), 32U);
    const auto& event = payload["events"][0];
    EXPECT_EQ(event["user_id"], "analytics-user");
    EXPECT_EQ(event["session_id"], 1'700'000'000'500ULL);
    EXPECT_EQ(event["event_type"], "rule:ignore");
    EXPECT_EQ(event["device_model"], "iPhone15,4");
    EXPECT_EQ(event["event_properties"]["rule_ids"][0], "ColorContrast");
    const auto error = nlohmann::json::parse(collector.bodies[1])["events"][0];
    EXPECT_EQ(error["event_type"], "scan:create:error");
    EXPECT_EQ(error["event_properties"], nlohmann::json({{"error", "Unable to get view hierarchy."}}));
}

TEST_F(TelemetryTest, UsageRecordsKeepTheirMemberOrderAndFailQuietly) {
    UsageServiceClient usage(transport, "ann@example.com", "org-7", std::nullopt, collector.address("/v2/event"));
    usage.send(UsageServiceEventType::scan);
    ASSERT_EQ(collector.bodies.size(), 1U);
    const auto record = Json::parse(collector.bodies[0]);
    std::vector<std::string> keys;
    for (const auto& [key, value] : record.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"version", "event", "productName", "organization", "productComponent",
                                              "productComponentVersion", "userId", "dateTime"}));
    EXPECT_EQ(record["dateTime"], 1'700'000'000'500ULL);

    processState().debugStatements = true;
    UsageServiceClient unreachable(transport, std::nullopt, std::nullopt, "6B1D2C0E-6A9F-4C1B-9D7E-3E0C5A2F9B11",
                                   "http://127.0.0.1:1/v2/event");
    EXPECT_EQ(unreachable.body(UsageServiceEventType::login)["distinctId"], "6B1D2C0E-6A9F-4C1B-9D7E-3E0C5A2F9B11");
    unreachable.send(UsageServiceEventType::login);
    EXPECT_TRUE(log.contains("ZUNIK LOG: Unable to send usage service login event."));
}

TEST_F(TelemetryTest, AddressesComeOnlyFromTheCallerOrTheEnvironment) {
    ::unsetenv("AUDKIT_ANALYTICS_URL");
    ::unsetenv("AUDKIT_USAGE_URL");
    setTelemetryAddresses({});
    EXPECT_FALSE(telemetryAddresses().analytics.has_value());  // no built-in host
    EXPECT_FALSE(telemetryAddresses().usageEvents.has_value());
    ::setenv("AUDKIT_ANALYTICS_URL", "http://127.0.0.1:9/a", 1);
    ::setenv("AUDKIT_USAGE_URL", "", 1);  // set but empty is no address
    EXPECT_EQ(telemetryAddresses().analytics, "http://127.0.0.1:9/a");
    EXPECT_FALSE(telemetryAddresses().usageEvents.has_value());
    setTelemetryAddresses({"http://127.0.0.1:9/b", "http://127.0.0.1:9/u"});
    EXPECT_EQ(telemetryAddresses().analytics, "http://127.0.0.1:9/b");
    EXPECT_EQ(telemetryAddresses().usageEvents, "http://127.0.0.1:9/u");
    setTelemetryAddresses({});
    ::unsetenv("AUDKIT_ANALYTICS_URL");
    ::unsetenv("AUDKIT_USAGE_URL");
}

TEST_F(TelemetryTest, DoNotTrackSwitchesTelemetryOff) {
    ::unsetenv("DO_NOT_TRACK");
    EXPECT_FALSE(telemetryDisabledByEnvironment());
    ::setenv("DO_NOT_TRACK", "0", 1);
    EXPECT_FALSE(telemetryDisabledByEnvironment());
    ::setenv("DO_NOT_TRACK", "1", 1);
    EXPECT_TRUE(telemetryDisabledByEnvironment());
}

}  // namespace
}  // namespace audkit
