#include "tools/audkit/report/screen_report.hpp"

#include <algorithm>

namespace audkit::cli {

ScreenReport screenReport(std::string name, std::shared_ptr<AudResult> result) {
    auto findings = findingsOf(*result);
    auto coverage = coverageOf(*result);
    return {std::move(name), std::move(result), std::move(findings), std::move(coverage)};
}

std::size_t ScreenReport::knownFindings() const {
    return static_cast<std::size_t>(
        std::count_if(findings.begin(), findings.end(), [](const Finding& finding) { return finding.known; }));
}

bool counts(const ScreenReport& screen, const Finding& finding) {
    return !finding.known && finding.result->status == AudStatus::fail &&
           (!finding.result->experimental || screen.experimentalFails);
}

bool failsTheGate(const ScreenReport& screen, AudImpact gate) {
    return std::any_of(screen.findings.begin(), screen.findings.end(), [&](const Finding& finding) {
        return counts(screen, finding) && static_cast<int>(finding.result->impact) >= static_cast<int>(gate);
    });
}

}  // namespace audkit::cli
