#include <algorithm>
#include <cstdio>

#include "tools/audkit-server/dashboard/dashboard.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::server {
namespace {

constexpr std::size_t mostPoints = 200;

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// Failures and incompletes of each result, oldest at the left, as two lines
// with a dot per result (its date and counts in the dot's title).
std::string chart(const std::vector<ResultSummary>& results) {
    const double width = 900, height = 260, left = 40, right = 20, top = 20, bottom = 40;
    std::int64_t highest = 1;
    for (const auto& result : results) highest = std::max({highest, result.failures, result.incompletes});
    const auto x = [&](std::size_t at) {
        return results.size() == 1
                   ? left + (width - left - right) / 2
                   : left + (width - left - right) * static_cast<double>(at) / static_cast<double>(results.size() - 1);
    };
    const auto y = [&](std::int64_t value) {
        return top + (height - top - bottom) * (1 - static_cast<double>(value) / static_cast<double>(highest));
    };
    std::string svg = "<svg id=\"history\" xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(width) +
                      "\" height=\"" + number(height) +
                      "\" role=\"img\" aria-label=\"Failures and incompletes over "
                      "time\" style=\"background:#fff\">";
    svg += "<line x1=\"" + number(left) + "\" y1=\"" + number(y(0)) + "\" x2=\"" + number(width - right) + "\" y2=\"" +
           number(y(0)) + "\" stroke=\"#999\"/>";
    svg += "<text x=\"4\" y=\"" + number(y(highest) + 4) + "\" font-size=\"11\">" + std::to_string(highest) +
           "</text><text x=\"4\" y=\"" + number(y(0) + 4) + "\" font-size=\"11\">0</text>";
    svg += "<text x=\"" + number(left) + "\" y=\"" + number(height - 12) + "\" font-size=\"11\">" +
           dateText(results.front().posted) + "</text><text x=\"" + number(width - right) + "\" y=\"" +
           number(height - 12) + "\" font-size=\"11\" text-anchor=\"end\">" + dateText(results.back().posted) +
           "</text>";
    const std::pair<const char*, std::int64_t ResultSummary::*> series[] = {{"#b3261e", &ResultSummary::failures},
                                                                            {"#c77700", &ResultSummary::incompletes}};
    for (const auto& [colour, count] : series) {
        std::string points;
        for (std::size_t at = 0; at < results.size(); ++at)
            points += number(x(at)) + "," + number(y(results[at].*count)) + " ";
        svg += "<polyline fill=\"none\" stroke=\"" + std::string(colour) + "\" stroke-width=\"2\" points=\"" + points +
               "\"/>";
        for (std::size_t at = 0; at < results.size(); ++at)
            svg += "<a href=\"/results/" + results[at].id + "\"><circle class=\"point\" cx=\"" + number(x(at)) +
                   "\" cy=\"" + number(y(results[at].*count)) + "\" r=\"4\" fill=\"" + colour + "\"><title>" +
                   dateText(results[at].posted) + ": " + std::to_string(results[at].failures) + " failures, " +
                   std::to_string(results[at].incompletes) + " incomplete</title></circle></a>";
    }
    return svg +
           "</svg><p><span class=\"fail\">&#9632; failures</span> <span class=\"warn\">&#9632; "
           "incomplete</span></p>";
}

}  // namespace

void addScreenHistory(httplib::Server& server, Services& services) {
    server.Get("/history", [&services](const httplib::Request& request, httplib::Response& reply) {
        const auto user = dashboardUser(services, request, reply);
        if (!user) return;
        const auto package = request.get_param_value("app");
        const auto screen = request.get_param_value("screen");
        const auto results = services.results.history(user->organisation, package, screen, mostPoints);
        const auto title = screen + " · " + package;
        if (results.empty()) {
            reply.status = 404;
            reply.set_content(dashboardPage(title, "<p>No results of this screen.</p>", &*user),
                              "text/html; charset=utf-8");
            return;
        }
        std::string body = "<section>" + chart(results) +
                           "</section><table><tr><th>Posted</th><th>Result</th>"
                           "<th>Failures</th><th>Incomplete</th><th>Passes</th><th></th></tr>\n";
        for (std::size_t at = results.size(); at-- > 0;) {
            const auto& result = results[at];
            body += "<tr><td>" + dateText(result.posted) + "</td><td><a href=\"/results/" + result.id + "\">" +
                    cli::markup(result.name.value_or("report")) + "</a></td><td class=\"n\">" +
                    std::to_string(result.failures) + "</td><td class=\"n\">" + std::to_string(result.incompletes) +
                    "</td><td class=\"n\">" + std::to_string(result.passes) + "</td><td>" +
                    (at > 0 ? "<a href=\"/compare?a=" + results[at - 1].id + "&amp;b=" + result.id +
                                  "\">changes since the one before</a>"
                            : "") +
                    "</td></tr>\n";
        }
        reply.set_content(dashboardPage(title, body + "</table>", &*user), "text/html; charset=utf-8");
    });
}

}  // namespace audkit::server
