#include <algorithm>
#include <ctime>

#include "audkit/network/url_wrapper.hpp"
#include "audkit/rules/rule_catalogue.hpp"
#include "tools/audkit-server/dashboard/dashboard.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::server {
namespace {

constexpr std::size_t pageSize = 50;

// "YYYY-MM-DD" as the first millisecond of that day (UTC); none for other text.
std::optional<std::int64_t> dayStart(const std::string& text) {
    std::tm day{};
    if (text.size() != 10 || !strptime(text.c_str(), "%Y-%m-%d", &day)) return std::nullopt;
    return static_cast<std::int64_t>(timegm(&day)) * 1000;
}

std::string choice(const std::string& name, const std::string& label, const std::vector<std::string>& values,
                   const std::string& chosen) {
    std::string html = "<label>" + label + "<select name=\"" + name + "\"><option value=\"\">any</option>";
    for (const auto& value : values)
        html += "<option" + std::string(value == chosen ? " selected" : "") + ">" + cli::markup(value) + "</option>";
    return html + "</select></label>";
}

std::string historyLink(const ResultSummary& result) {
    return "/history?app=" + percentEncodedSegment(result.package) +
           "&amp;screen=" + percentEncodedSegment(result.screen);
}

std::string row(const ResultSummary& result) {
    std::string tags, rules;
    for (const auto& tag : result.tags) tags += "<span class=\"tag\">" + cli::markup(tag) + "</span>";
    for (const auto& rule : result.failingRules) rules += cli::markup(rule) + " ";
    return "<tr><td>" + dateText(result.posted) + "</td><td>" + cli::markup(result.package) + "</td><td><a href=\"" +
           historyLink(result) + "\">" + cli::markup(result.screen) + "</a></td><td><a href=\"/results/" + result.id +
           "\">" + cli::markup(result.name.value_or("report")) + "</a></td><td>" + tags + "</td><td class=\"n" +
           (result.failures ? " fail" : "") + "\">" + std::to_string(result.failures) + "</td><td class=\"n" +
           (result.incompletes ? " warn" : "") + "\">" + std::to_string(result.incompletes) + "</td><td class=\"n\">" +
           std::to_string(result.passes) + "</td><td>" + rules + "</td></tr>\n";
}

}  // namespace

void addResultsList(httplib::Server& server, Services& services) {
    server.Get("/", [&services](const httplib::Request& request, httplib::Response& reply) {
        const auto user = dashboardUser(services, request, reply);
        if (!user) return;
        ResultFilter filter;
        filter.package = request.get_param_value("app");
        filter.tag = request.get_param_value("tag");
        filter.failingRule = request.get_param_value("rule");
        filter.from = dayStart(request.get_param_value("from"));
        if (const auto to = dayStart(request.get_param_value("to"))) filter.until = *to + 24 * 3600 * 1000;
        filter.limit = pageSize + 1;  // one more tells whether there is a next page
        try {
            filter.offset = std::min<std::size_t>(std::stoul(request.get_param_value("offset")), 1u << 30);
        } catch (const std::exception&) {}
        std::vector<std::string> rules;
        for (const auto& rule : ruleCatalogue()) rules.emplace_back(toString(rule.info->id));
        // A rule that is no rule id filters nothing: it could not match anyway.
        if (std::find(rules.begin(), rules.end(), filter.failingRule) == rules.end()) filter.failingRule.clear();
        auto results = services.results.list(user->organisation, filter);
        const bool more = results.size() > pageSize;
        if (more) results.pop_back();

        std::string body = "<form class=\"filters\" method=\"get\" action=\"/\">" +
                           choice("app", "Application", services.results.packages(user->organisation), filter.package) +
                           choice("tag", "Tag", services.results.tags(user->organisation), filter.tag) +
                           choice("rule", "Failing rule", rules, filter.failingRule) +
                           "<label>From<input type=\"date\" name=\"from\" value=\"" +
                           cli::markup(request.get_param_value("from")) +
                           "\"></label><label>To<input type=\"date\" name=\"to\" value=\"" +
                           cli::markup(request.get_param_value("to")) + "\"></label><button>Filter</button></form>\n";
        if (results.empty()) {
            body += "<p>No results" + std::string(filter.offset ? " on this page" : "") + ".</p>";
        } else {
            body +=
                "<table id=\"results\"><tr><th>Posted</th><th>Application</th><th>Screen</th><th>Result</th>"
                "<th>Tags</th><th>Failures</th><th>Incomplete</th><th>Passes</th><th>Failing rules</th></tr>\n";
            for (const auto& result : results) body += row(result);
            body += "</table>";
        }
        if (more) {
            std::string kept;
            for (const auto& [name, value] : request.params)
                if (name != "offset")
                    kept += percentEncodedSegment(name) + "=" + percentEncodedSegment(value) + "&amp;";
            body += "<p><a rel=\"next\" href=\"/?" + kept + "offset=" + std::to_string(filter.offset + pageSize) +
                    "\">Older results</a></p>";
        }
        reply.set_content(dashboardPage("Results", body, &*user), "text/html; charset=utf-8");
    });
}

}  // namespace audkit::server
