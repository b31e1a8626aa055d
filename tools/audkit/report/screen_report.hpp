#pragma once

#include <memory>
#include <string>
#include <vector>

#include "audkit/rules/aud_result.hpp"
#include "tools/audkit/report/findings.hpp"

namespace audkit::cli {

// One scanned screen as the reports show it.
struct ScreenReport {
    std::string name;  // the bundle as given
    std::shared_ptr<AudResult> result;
    std::vector<Finding> findings;
    Coverage coverage;
    bool baselined = false;  // compared with a baseline: findings are known or new
    // An experimental rule's failures are advisory (reported, never failing
    // the scan) unless the scan was asked to fail on them.
    bool experimentalFails = false;

    std::size_t knownFindings() const;
};

// Whether a finding makes the scan fail: a FAIL that is not known from the
// baseline and not advisory (an experimental rule's, unless asked for).
bool counts(const ScreenReport& screen, const Finding& finding);
// Whether the screen fails the scan: a counting FAIL of the gate's impact or more.
bool failsTheGate(const ScreenReport& screen, AudImpact gate);

ScreenReport screenReport(std::string name, std::shared_ptr<AudResult> result);

}  // namespace audkit::cli
