#include <map>
#include <sstream>

#include "tools/audkit/report/reports.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::cli {
namespace {

std::string frameText(const Finding& finding, float scale) {
    const auto frame = finding.frameInPoints(scale);
    return number(frame.x) + ", " + number(frame.y) + ", " + number(frame.width) + " x " + number(frame.height) +
           " pt";
}

}  // namespace

std::string junitReport(const std::vector<ScreenReport>& screens) {
    // Rule id -> every judged view of every screen, with its screen.
    std::map<std::string, std::vector<std::pair<const ScreenReport*, Finding>>> byRule;
    for (const auto& screen : screens)
        for (auto& judged : judgedViews(*screen.result)) {
            // The baseline's verdict on the finding (findings are numbered from 1 in order).
            if (judged.number) judged.known = screen.findings[judged.number - 1].known;
            const auto status = judged.result->status;
            if (status == AudStatus::inapplicable) continue;
            byRule[judged.result->ruleId].emplace_back(&screen, std::move(judged));
        }
    // A rule the scan did not run is one skipped case per screen, saying why,
    // so a report never passes over it in silence.
    std::map<std::string, std::vector<std::pair<const ScreenReport*, std::string>>> notRun;
    for (const auto& screen : screens)
        for (const auto& [rule, why] : screen.coverage.rulesNotRun) {
            notRun[rule].emplace_back(&screen, why);
            byRule[rule];
        }
    std::size_t tests = 0, failures = 0, skipped = 0;
    std::ostringstream suites;
    for (const auto& [rule, cases] : byRule) {
        std::size_t ruleFailures = 0, ruleSkipped = 0, ruleTests = cases.size();
        std::ostringstream body;
        for (const auto& [screen, why] : notRun[rule]) {
            ++ruleSkipped, ++ruleTests;
            body << "    <testcase classname=\"" << markup(screen->name) << "\" name=\"not run\">\n"
                 << "      <skipped message=\"not run: " << markup(why) << "\"/>\n    </testcase>\n";
        }
        for (const auto& [screen, judged] : cases) {
            const auto& result = *judged.result;
            const float scale = screen->result->audContext ? screen->result->audContext->audDevice.scale : 1.0F;
            std::string name = judged.element();
            if (judged.number) name = "#" + std::to_string(judged.number) + " " + name;
            body << "    <testcase classname=\"" << markup(screen->name) << "\" name=\"" << markup(name) << "\">\n";
            body << "      <properties>\n";
            body << "        <property name=\"impact\" value=\"" << markup(toString(result.impact)) << "\"/>\n";
            body << "        <property name=\"element\" value=\"" << markup(judged.element()) << "\"/>\n";
            body << "        <property name=\"frame\" value=\"" << markup(frameText(judged, scale)) << "\"/>\n";
            body << "        <property name=\"status\" value=\"" << markup(toString(result.status)) << "\"/>\n";
            if (result.experimental) body << "        <property name=\"experimental\" value=\"true\"/>\n";
            body << "      </properties>\n";
            if (judged.known) body << "        <property name=\"baseline\" value=\"known\"/>\n";
            const auto details = result.props ? result.props->description() : std::string();
            if (judged.known) {
                ++ruleSkipped;  // accepted: reported, not failed
                body << "      <skipped message=\"known from the baseline: " << markup(result.ruleSummary) << "\"/>\n";
            } else if (result.status == AudStatus::fail && !counts(*screen, judged)) {
                ++ruleSkipped;  // an experimental rule's: reported, advisory
                body << "      <skipped message=\"advisory (experimental rule): " << markup(result.ruleSummary)
                     << "\"/>\n";
            } else if (result.status == AudStatus::fail) {
                ++ruleFailures;
                body << "      <failure type=\"" << markup(toString(result.impact)) << "\" message=\""
                     << markup(result.ruleSummary) << "\">" << markup(details) << "</failure>\n";
            } else if (result.status == AudStatus::incomplete || result.status == AudStatus::ignored) {
                ++ruleSkipped;
                body << "      <skipped message=\""
                     << markup(result.status == AudStatus::ignored ? "ignored" : result.ruleSummary) << "\"/>\n";
            }
            body << "    </testcase>\n";
        }
        suites << "  <testsuite name=\"" << markup(rule) << "\" tests=\"" << ruleTests << "\" failures=\""
               << ruleFailures << "\" errors=\"0\" skipped=\"" << ruleSkipped << "\">\n"
               << body.str() << "  </testsuite>\n";
        tests += ruleTests, failures += ruleFailures, skipped += ruleSkipped;
    }
    std::ostringstream document;
    document << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             << "<testsuites name=\"audkit\" tests=\"" << tests << "\" failures=\"" << failures
             << "\" errors=\"0\" skipped=\"" << skipped << "\">\n"
             << suites.str() << "</testsuites>\n";
    return document.str();
}

}  // namespace audkit::cli
