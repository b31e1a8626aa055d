#include "tools/audkit-server/dashboard/dashboard.hpp"
#include "tools/audkit/report/findings.hpp"
#include "tools/audkit/report/text_output.hpp"
#include "tools/audkit/scan/baseline.hpp"

namespace audkit::server {
namespace {

struct Compared {
    std::vector<const cli::Finding*> added, fixed, unchanged;
};

// Findings are the same when their rule and status agree and they are about
// the same element (its durable identity: identifier, else place in the tree
// and label, frames within a few points), never by the random view id.
Compared compare(const std::vector<cli::Finding>& before, float beforeScale, const std::vector<cli::Finding>& after,
                 float afterScale) {
    Compared compared;
    std::vector<bool> matched(before.size(), false);
    std::vector<cli::ElementIdentity> earlier;
    for (const auto& finding : before) earlier.push_back(cli::ElementIdentity::of(finding, beforeScale));
    for (const auto& finding : after) {
        const auto identity = cli::ElementIdentity::of(finding, afterScale);
        bool found = false;
        for (std::size_t at = 0; at < before.size() && !found; ++at) {
            if (matched[at] || before[at].result->ruleId != finding.result->ruleId ||
                before[at].result->status != finding.result->status || !earlier[at].sameElement(identity))
                continue;
            matched[at] = found = true;
        }
        (found ? compared.unchanged : compared.added).push_back(&finding);
    }
    for (std::size_t at = 0; at < before.size(); ++at)
        if (!matched[at]) compared.fixed.push_back(&before[at]);
    return compared;
}

std::string listOf(const std::string& id, const std::string& heading, const std::vector<const cli::Finding*>& findings,
                   float scale) {
    std::string html = "<section id=\"" + id + "\"><h2>" + heading + " (" + std::to_string(findings.size()) + ")</h2>";
    if (findings.empty()) return html + "<p>None.</p></section>";
    html += "<table><tr><th>Rule</th><th>Status</th><th>Element</th><th>Finding</th></tr>";
    for (const auto* finding : findings)
        html += "<tr class=\"finding\"><td>" + cli::markup(finding->result->ruleId) + "</td><td>" +
                std::string(toString(finding->result->status)) + "</td><td>" + cli::markup(finding->element()) +
                "</td><td>" + cli::markup(finding->message(scale)) + "</td></tr>";
    return html + "</table></section>";
}

}  // namespace

void addResultComparison(httplib::Server& server, Services& services) {
    server.Get("/compare", [&services](const httplib::Request& request, httplib::Response& reply) {
        const auto user = dashboardUser(services, request, reply);
        if (!user) return;
        const auto first = services.results.summary(user->organisation, request.get_param_value("a"));
        const auto second = services.results.summary(user->organisation, request.get_param_value("b"));
        if (!first || !second) {
            reply.status = 404;
            reply.set_content(
                dashboardPage("No such results", "<p>Compare two results of yours: ?a=ID&amp;b=ID.</p>", &*user),
                "text/html; charset=utf-8");
            return;
        }
        const auto before = storedResult(services, *first);
        const auto after = storedResult(services, *second);
        const auto beforeFindings = cli::findingsOf(*before);
        const auto afterFindings = cli::findingsOf(*after);
        const auto beforeScale = before->audContext->audDevice.scale;
        const auto afterScale = after->audContext->audDevice.scale;
        const auto compared = compare(beforeFindings, beforeScale, afterFindings, afterScale);
        const auto link = [](const ResultSummary& result) {
            return "<a href=\"/results/" + result.id + "\">" + cli::markup(result.name.value_or(result.screen)) +
                   "</a> of " + dateText(result.posted);
        };
        const std::string body = "<p>From " + link(*first) + " to " + link(*second) + ".</p>" +
                                 listOf("new", "New", compared.added, afterScale) +
                                 listOf("fixed", "Fixed", compared.fixed, beforeScale) +
                                 listOf("unchanged", "Unchanged", compared.unchanged, afterScale);
        reply.set_content(dashboardPage("What changed", body, &*user), "text/html; charset=utf-8");
    });
}

}  // namespace audkit::server
