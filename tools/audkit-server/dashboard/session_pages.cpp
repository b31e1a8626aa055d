#include <algorithm>

#include "audkit/base/id_and_time_source.hpp"
#include "audkit/network/url_wrapper.hpp"
#include "tools/audkit-server/auth/tokens.hpp"
#include "tools/audkit-server/dashboard/dashboard.hpp"
#include "tools/audkit-server/http/exchange.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::server {
namespace {

constexpr const char* cookieName = "audkit_session";

std::int64_t secondsNow() { return static_cast<std::int64_t>(IdAndTimeSource::secondsSince1970()); }

// Only a path of this site: never another host ("//evil", "http://...", or
// "/\t/evil", which a browser reads as "//evil" once it drops the tab).
std::string safeNext(const std::string& next) {
    const bool odd = std::any_of(next.begin(), next.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f || c == '\\'; });
    if (next.empty() || next[0] != '/' || next.starts_with("//") || odd) return "/";
    return next;
}

std::string cookieOf(const httplib::Request& request) {
    const auto header = request.get_header_value("Cookie");
    const std::string wanted = std::string(cookieName) + "=";
    std::size_t at = 0;
    while (at < header.size()) {
        const auto start = header.find_first_not_of(' ', at);
        if (start == std::string::npos) break;
        const auto end = std::min(header.find(';', start), header.size());
        if (header.compare(start, wanted.size(), wanted) == 0)
            return header.substr(start + wanted.size(), end - start - wanted.size());
        at = end + 1;
    }
    return "";
}

std::string signInPage(const std::string& next, const std::string& problem) {
    std::string body;
    if (!problem.empty()) body += "<p class=\"fail\">" + cli::markup(problem) + "</p>";
    body +=
        "<section><form method=\"post\" action=\"/login\">"
        "<p><label>E-mail<br><input name=\"email\" type=\"email\" autocomplete=\"username\" required></label></p>"
        "<p><label>Password<br><input name=\"password\" type=\"password\" autocomplete=\"current-password\" "
        "required></label></p><input type=\"hidden\" name=\"next\" value=\"" +
        cli::markup(next) + "\"><button>Sign in</button></form></section>";
    return dashboardPage("Sign in", body, nullptr);
}

}  // namespace

std::optional<User> dashboardUser(Services& services, const httplib::Request& request, httplib::Response& reply) {
    const auto userId = tokenUser(cookieOf(request), "session", services.tokenKey, secondsNow());
    if (auto user = userId ? services.accounts.userById(*userId) : std::nullopt) return user;
    reply.status = 303;
    reply.set_header("Location", "/login?next=" + percentEncodedSegment(request.target));
    return std::nullopt;
}

void addSessionPages(httplib::Server& server, Services& services) {
    server.Get("/login", [](const httplib::Request& request, httplib::Response& reply) {
        reply.set_content(signInPage(safeNext(request.get_param_value("next")), ""), "text/html; charset=utf-8");
    });
    server.Post("/login", [&services](const httplib::Request& request, httplib::Response& reply,
                                      const httplib::ContentReader& reader) {
        const auto body = readBody(reader, reply, 16 * 1024);
        if (!body) return;
        auto form = formFields(*body);
        const auto next = safeNext(form["next"]);
        const auto login = services.logIn(form["email"], form["password"], services.clientAddress(request));
        if (!login.user) {
            reply.status = login.wait > 0 ? 429 : 401;
            if (login.wait > 0) reply.set_header("Retry-After", std::to_string(login.wait));
            reply.set_content(signInPage(next, login.wait > 0 ? "Too many failed sign-ins: try again in " +
                                                                    std::to_string(login.wait) + " s."
                                                              : "Wrong e-mail or password."),
                              "text/html; charset=utf-8");
            return;
        }
        const auto token = signedToken(login.user->id, "session", sessionLifetime, services.tokenKey, secondsNow());
        const bool secure = !services.options.certificate.empty() || services.options.publicUrl.starts_with("https:");
        reply.set_header("Set-Cookie", std::string(cookieName) + "=" + token +
                                           "; Path=/; HttpOnly; SameSite=Lax; Max-Age=" +
                                           std::to_string(sessionLifetime) + (secure ? "; Secure" : ""));
        reply.status = 303;
        reply.set_header("Location", next);
    });
    server.Post("/logout", [](const httplib::Request&, httplib::Response& reply) {
        reply.set_header("Set-Cookie", std::string(cookieName) + "=; Path=/; HttpOnly; SameSite=Lax; Max-Age=0");
        reply.status = 303;
        reply.set_header("Location", "/login");
    });
}

}  // namespace audkit::server
