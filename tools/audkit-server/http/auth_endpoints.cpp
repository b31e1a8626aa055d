#include <nlohmann/json.hpp>

#include "audkit/base/id_and_time_source.hpp"
#include "tools/audkit-server/auth/tokens.hpp"
#include "tools/audkit-server/http/exchange.hpp"
#include "tools/audkit-server/http/services.hpp"

namespace audkit::server {
namespace {

constexpr std::size_t formLimit = 16 * 1024;

std::int64_t secondsNow() { return static_cast<std::int64_t>(IdAndTimeSource::secondsSince1970()); }

void replyGrantError(httplib::Response& reply, int status, const std::string& code, const std::string& why) {
    // OAuth's members for OpenID clients, and "message" for ours.
    replyJson(reply, nlohmann::json{{"error", code}, {"error_description", why}, {"message", why}}.dump(), status);
}

void replyTokens(httplib::Response& reply, const TokenPair& tokens) {
    replyJson(reply, nlohmann::json{{"access_token", tokens.access},
                                    {"refresh_token", tokens.refresh},
                                    {"expires_in", tokens.accessLifetime},
                                    {"refresh_expires_in", tokens.refreshLifetime},
                                    {"token_type", "Bearer"}}
                         .dump());
}

void passwordGrant(Services& services, const httplib::Request& request, httplib::Response& reply,
                   const std::map<std::string, std::string>& form) {
    const auto field = [&](const char* name) { return form.count(name) ? form.at(name) : std::string(); };
    const auto login = services.logIn(field("username"), field("password"), services.clientAddress(request));
    if (login.wait > 0) {
        reply.set_header("Retry-After", std::to_string(login.wait));
        replyGrantError(reply, 429, "too_many_attempts",
                        "too many failed logins: try again in " + std::to_string(login.wait) + " s");
    } else if (!login.user) {
        replyGrantError(reply, 401, "invalid_grant", "wrong user name or password");
    } else {
        replyTokens(reply, issueTokens(login.user->id, services.tokenKey, secondsNow()));
    }
}

void refreshGrant(Services& services, httplib::Response& reply, const std::map<std::string, std::string>& form) {
    const auto token = form.count("refresh_token") ? form.at("refresh_token") : "";
    const auto userId = tokenUser(token, "refresh", services.tokenKey, secondsNow());
    if (!userId || !services.accounts.userById(*userId)) {
        replyGrantError(reply, 400, "invalid_grant", "the refresh token is not valid (expired, or of a removed user)");
        return;
    }
    replyTokens(reply, issueTokens(*userId, services.tokenKey, secondsNow()));
}

}  // namespace

void addAuthEndpoints(httplib::Server& server, Services& services) {
    server.Get("/auth-url", [&services](const httplib::Request& request, httplib::Response& reply) {
        auto url = services.options.publicUrl;
        if (url.empty()) {
            std::string scheme = services.options.certificate.empty() ? "http" : "https";
            if (services.options.behindProxy && request.has_header("X-Forwarded-Proto"))
                scheme = request.get_header_value("X-Forwarded-Proto") == "https" ? "https" : "http";
            url = scheme + "://" + request.get_header_value("Host");
        }
        replyJson(reply, nlohmann::json{{"url", url}, {"realm", services.options.realm}}.dump());
    });

    const auto tokenPath = "/auth/realms/" + services.options.realm + "/protocol/openid-connect/token";
    server.Post(tokenPath, [&services](const httplib::Request& request, httplib::Response& reply,
                                       const httplib::ContentReader& reader) {
        const auto body = readBody(reader, reply, formLimit);
        if (!body) return;
        const auto form = formFields(*body);
        const auto grant = form.count("grant_type") ? form.at("grant_type") : "";
        if (grant == "password")
            passwordGrant(services, request, reply, form);
        else if (grant == "refresh_token")
            refreshGrant(services, reply, form);
        else
            replyGrantError(reply, 400, "unsupported_grant_type",
                            "grant_type must be \"password\" or \"refresh_token\"");
    });

    server.Get("/attest/user", [&services](const httplib::Request& request, httplib::Response& reply) {
        const auto user = services.caller(request, reply);
        if (!user) return;
        replyJson(reply, nlohmann::json{{"userId", user->id}, {"email", user->email}}.dump(
                             -1, ' ', false, nlohmann::json::error_handler_t::replace));
    });
}

}  // namespace audkit::server
