#include "audkit/network/url_wrapper.hpp"
#include "tools/audkit-server/dashboard/dashboard.hpp"
#include "tools/audkit/report/reports.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::server {

// A result's page is the scanner's own HTML report of it (screenshot with
// boxes, findings, filters) under a bar that leads to the screen's history
// and the comparison with the result before it.
void addResultView(httplib::Server& server, Services& services) {
    server.Get(R"(/results/([0-9a-f]{32}))", [&services](const httplib::Request& request, httplib::Response& reply) {
        const auto user = dashboardUser(services, request, reply);
        if (!user) return;
        const auto summary = services.results.summary(user->organisation, request.matches[1].str());
        if (!summary) {
            reply.status = 404;
            reply.set_content(dashboardPage("No such result", "<p>There is no such result.</p>", &*user),
                              "text/html; charset=utf-8");
            return;
        }
        const auto name = summary->name.value_or(summary->screen);
        auto report = cli::htmlReport({cli::screenReport(name, storedResult(services, *summary))});
        std::string bar =
            "<nav style=\"padding:8px 20px;background:#1c1c1e;color:#fff\"><a style=\"color:#fff\" "
            "href=\"/\">All results</a> · <a style=\"color:#fff\" href=\"/history?app=" +
            percentEncodedSegment(summary->package) + "&amp;screen=" + percentEncodedSegment(summary->screen) +
            "\">History of this screen</a>";
        if (const auto before = services.results.previous(*summary))
            bar += " · <a style=\"color:#fff\" href=\"/compare?a=" + before->id + "&amp;b=" + summary->id +
                   "\">Compare with the result before</a>";
        bar += " · " + cli::markup(summary->package) + " · " + dateText(summary->posted);
        for (const auto& tag : summary->tags) bar += " · " + cli::markup(tag);
        bar += "</nav>\n";
        const auto bodyAt = report.find("<body");
        const auto insertAt = bodyAt == std::string::npos ? 0 : report.find('>', bodyAt) + 1;
        report.insert(insertAt, bar);
        reply.set_content(report, "text/html; charset=utf-8");
    });
}

}  // namespace audkit::server
