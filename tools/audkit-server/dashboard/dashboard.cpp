#include "tools/audkit-server/dashboard/dashboard.hpp"

#include <ctime>

#include "audkit/base/strict_json.hpp"
#include "tools/audkit/report/rule_pages.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::server {

std::string dashboardPage(const std::string& title, const std::string& body, const User* user) {
    std::string page =
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + cli::markup(title) +
        " · audkit</title>\n<style>\n"
        "body{font:14px/1.45 system-ui,sans-serif;margin:0;color:#1c1c1e;background:#f6f6f8}\n"
        "header{display:flex;gap:16px;align-items:center;padding:10px 20px;background:#1c1c1e;color:#fff}\n"
        "header a{color:#fff}header form{margin-left:auto}main{padding:16px 20px}\n"
        "table{border-collapse:collapse;background:#fff;width:100%}th,td{padding:6px 8px;border-bottom:1px solid "
        "#ddd;text-align:left;vertical-align:top}\n"
        "th{background:#ececf0}td.n{text-align:right}.fail{color:#b3261e;font-weight:600}.warn{color:#8a5a00}\n"
        ".tag{display:inline-block;background:#e4e4ea;border-radius:8px;padding:0 6px;margin:1px}\n"
        "form.filters{display:flex;gap:10px;flex-wrap:wrap;align-items:end;margin-bottom:12px}\n"
        "form.filters label{display:flex;flex-direction:column;font-size:12px}\n"
        "section{background:#fff;padding:10px 14px;margin-bottom:14px;border-radius:6px}\n"
        "</style></head><body>\n<header><strong><a href=\"/\">audkit</a></strong>";
    if (user)
        page += "<span>" + cli::markup(user->email) + " · " + cli::markup(user->organisationName) +
                "</span><form method=\"post\" action=\"/logout\"><button>Sign out</button></form>";
    page += "</header>\n<main>\n<h1>" + cli::markup(title) + "</h1>\n" + body + "\n</main></body></html>\n";
    return page;
}

std::string dateText(std::int64_t milliseconds) {
    const auto time = static_cast<std::time_t>(milliseconds / 1000);
    std::tm utc{};
    gmtime_r(&time, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &utc);
    return text;
}

std::shared_ptr<AudResult> storedResult(Services& services, const ResultSummary& summary) {
    const auto document = services.results.document(summary.organisation, summary.id);
    if (!document) throw Error("the result " + summary.id + " is gone");
    return resultFromJson(parseFromOutside<Json>(*document));
}

void addDashboard(httplib::Server& server, Services& services) {
    addSessionPages(server, services);
    addResultsList(server, services);
    addResultView(server, services);
    addScreenHistory(server, services);
    addResultComparison(server, services);
    // The rules' pages, as `audkit explain` prints them, for anyone.
    server.Get(R"(/rules/([A-Za-z0-9]+))", [](const httplib::Request& request, httplib::Response& reply) {
        const auto page = cli::rulePage(request.matches[1].str());
        if (!page) {
            reply.status = 404;
            reply.set_content(dashboardPage("No such rule", "<p>audkit has no rule of that name.</p>", nullptr),
                              "text/html; charset=utf-8");
            return;
        }
        reply.set_content(
            dashboardPage(request.matches[1].str(),
                          "<section><pre style=\"white-space:pre-wrap\">" + cli::markup(*page) + "</pre></section>",
                          nullptr),
            "text/html; charset=utf-8");
    });
}

}  // namespace audkit::server
