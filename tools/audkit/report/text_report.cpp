#include <algorithm>
#include <ostream>

#include "audkit/rules/rule_color_contrast.hpp"
#include "tools/audkit/report/reports.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::cli {

void writeTextReport(std::ostream& out, const ScreenReport& screen) {
    const auto& result = *screen.result;
    out << screen.name << ": " << result.failures().size() << " failures, " << result.incompletes().size()
        << " incomplete, " << result.passes().size() << " passes; " << screen.coverage.viewsExamined
        << " views examined";
    if (const auto note = fewElementsNote(screen.coverage)) out << ", " << *note;
    if (screen.coverage.systemElementsNotJudged > 0)
        out << "; " << screen.coverage.systemElementsNotJudged << " system elements not judged";
    if (screen.coverage.verdictsOnInferredFacts > 0)
        out << "; " << screen.coverage.verdictsOnInferredFacts
            << " failures not given, as the dump does not record what they rest on (--debug names them)";
    if (screen.baselined)
        out << "; " << screen.knownFindings() << " findings known from the baseline, "
            << screen.findings.size() - screen.knownFindings() << " new";
    out << '\n';
    for (const auto& [id, why] : screen.coverage.rulesNotRun) out << "  not run: " << id << " (" << why << ")\n";
    // English alone is the usual: other languages are said.
    if (!screen.coverage.languages.empty() && screen.coverage.languages != "eng")
        out << "  text read as " << screen.coverage.languages << "\n";
    const float scale = result.audContext ? result.audContext->audDevice.scale : 1.0F;
    for (const auto& finding : screen.findings) {
        const auto& ruleResult = *finding.result;
        const auto frame = finding.frameInPoints(scale);
        out << "\n#" << finding.number << " " << toString(ruleResult.status) << " " << ruleResult.ruleId << " ("
            << toString(ruleResult.impact) << (ruleResult.experimental ? ", experimental rule" : "") << ")"
            << (finding.known
                    ? " known" + (finding.knownBecause.empty() ? "" : " (" + oneLine(finding.knownBecause) + ")")
                : screen.baselined ? " new"
                                   : "")
            << (ruleResult.status == AudStatus::fail && !finding.known && !counts(screen, finding)
                    ? " advisory (--fail-on-experimental makes it fail the scan)"
                    : "")
            << "\n";
        out << "   " << oneLine(finding.element()) << " at " << number(frame.x) << ", " << number(frame.y) << ", "
            << number(frame.width) << " x " << number(frame.height) << " pt\n";
        out << "   " << oneLine(ruleResult.ruleSummary) << "\n";
        if (ruleResult.props) {
            if (const auto* pair = ruleResult.props->get(RuleColorContrast::decidingPairKey.name))
                out << "   colours: " << describePropValue(*pair) << "\n";
        }
    }
}

}  // namespace audkit::cli
