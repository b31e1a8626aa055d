#pragma once

#include <httplib.h>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tests/support/local_server.hpp"

namespace audkit::test {

// The results backend, its authentication server and the telemetry
// collectors, all on one real HTTP server on 127.0.0.1. It accepts the API key
// "key-1" and the user "ann@example.com" with the password "secret", records
// every request as "METHOD target", and can be told to fail single steps.
class ResultsBackend : public LocalServer {
public:
    ResultsBackend() {
        server.Get("/auth-url", [this](const httplib::Request& request, httplib::Response& reply) {
            record(request);
            const auto url = authenticationAddress.empty() ? address() : authenticationAddress;
            reply.set_content(nlohmann::json{{"url", url}, {"realm", "shop"}}.dump(), "application/json");
        });
        server.Post("/auth/realms/shop/protocol/openid-connect/token",
                    [this](const httplib::Request& request, httplib::Response& reply) {
                        record(request);
                        if (request.get_param_value("username") != "ann@example.com" ||
                            request.get_param_value("password") != "secret") {
                            reply.status = 401;
                            reply.set_content(R"({"error":"invalid_grant"})", "application/json");
                            return;
                        }
                        reply.set_content(
                            R"({"access_token":"a1","refresh_token":"r1","expires_in":300,"refresh_expires_in":1800,)"
                            R"("token_type":"Bearer"})",
                            "application/json");
                    });
        server.Get("/attest/user", [this](const httplib::Request& request, httplib::Response& reply) {
            record(request);
            if (userStatus != 200) {
                reply.status = userStatus;
                return;
            }
            if (request.get_header_value("X-Api-Key") != "key-1" &&
                request.get_header_value("Authorization") != "Bearer a1") {
                reply.status = 401;
                reply.set_content(R"({"message":"unknown key","error":"Unauthorized"})", "application/json");
                return;
            }
            reply.set_content(R"({"userId":"u1","email":"ann@example.com"})", "application/json");
        });
        server.Post("/attest/result/aud", [this](const httplib::Request& request, httplib::Response& reply) {
            record(request);
            posted = request.body;
            reply.set_content(keyReply, "application/json");
        });
        server.Get(R"(/attest/result/aud/.*)", [this](const httplib::Request& request, httplib::Response& reply) {
            record(request);
            reply.set_content(posted, "application/json");
        });
        server.Post(R"(/attest/result/tag/.*)", [this](const httplib::Request& request, httplib::Response& reply) {
            record(request);
            tagged = request.body;
            reply.status = tagStatus;
            reply.set_content(tagStatus == 200 ? keyReply : R"({"message":"tags are closed","error":"x"})",
                              "application/json");
        });
        server.Put(R"(/attest/results/summaries/.*)", [this](const httplib::Request& request, httplib::Response& reply) {
            record(request);
            renamed = request.body;
            reply.status = renameStatus;  // 204 or an empty 200: the name was changed
        });
        server.Delete(R"(/attest/result/.*)", [this](const httplib::Request& request, httplib::Response& reply) {
            record(request);
            reply.set_content(keyReply, "application/json");
        });
        server.Post("/analytics", [this](const httplib::Request& request, httplib::Response& reply) {
            record(request);
            const std::lock_guard lock(mutex);
            events.push_back(nlohmann::json::parse(request.body));
            reply.set_content(R"({"code":200})", "application/json");
        });
        server.Post("/usage", [this](const httplib::Request& request, httplib::Response& reply) {
            record(request);
            const std::lock_guard lock(mutex);
            usage.push_back(nlohmann::json::parse(request.body));
            reply.set_content("{}", "application/json");
        });
        start();
    }

    // The event types the analytics collector received, in order.
    std::vector<std::string> eventTypes() {
        const std::lock_guard lock(mutex);
        std::vector<std::string> types;
        for (const auto& body : events) types.push_back(body["events"][0]["event_type"].get<std::string>());
        return types;
    }
    std::vector<std::string> requests() {
        const std::lock_guard lock(mutex);
        return targets;
    }

    std::string authenticationAddress;  // what /auth-url names; this server when empty
    std::string keyReply = R"({"packageName":"com.example.shop","userId":"u1","resultId":"r1"})";
    int userStatus = 200;
    int tagStatus = 200;
    int renameStatus = 204;
    std::string posted, tagged, renamed;
    std::vector<nlohmann::json> events, usage;

private:
    void record(const httplib::Request& request) {
        const std::lock_guard lock(mutex);
        targets.push_back(request.method + " " + request.target);
    }
    std::mutex mutex;
    std::vector<std::string> targets;
};

}  // namespace audkit::test
