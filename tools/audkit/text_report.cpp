#include <ostream>

#include "audkit/rules/rule_color_contrast.hpp"
#include "tools/audkit/reports.hpp"
#include "tools/audkit/text_output.hpp"

namespace audkit::cli {

ScreenReport screenReport(std::string name, std::shared_ptr<AudResult> result) {
    auto findings = findingsOf(*result);
    auto coverage = coverageOf(*result);
    return {std::move(name), std::move(result), std::move(findings), std::move(coverage)};
}

void writeTextReport(std::ostream& out, const ScreenReport& screen) {
    const auto& result = *screen.result;
    out << screen.name << ": " << result.failures().size() << " failures, " << result.incompletes().size()
        << " incomplete, " << result.passes().size() << " passes; " << screen.coverage.viewsExamined
        << " views examined\n";
    for (const auto& [id, why] : screen.coverage.rulesNotRun) out << "  not run: " << id << " (" << why << ")\n";
    const float scale = result.audContext ? result.audContext->audDevice.scale : 1.0F;
    for (const auto& finding : screen.findings) {
        const auto& ruleResult = *finding.result;
        const auto frame = finding.frameInPoints(scale);
        out << "\n#" << finding.number << " " << toString(ruleResult.status) << " " << ruleResult.ruleId << " ("
            << toString(ruleResult.impact) << ")\n";
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
