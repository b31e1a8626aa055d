#pragma once

#include <iosfwd>
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

// The readable text: a summary line, the rules not run, then per finding its
// number, status, rule and impact, the element and its frame in points, the
// rule's message and (for contrast) the colour pair that decided.
void writeTextReport(std::ostream& out, const ScreenReport& screen);

// JUnit XML: one testsuite per rule, one testcase per judged view; a FAIL is a
// failure, an INCOMPLETE is skipped; impact and element are properties.
std::string junitReport(const std::vector<ScreenReport>& screens);

// One self-contained HTML page (no network: the screenshot is embedded) per
// report: for each screen the screenshot with a numbered box over every view
// that has a finding, coloured by status, and the findings grouped by rule
// with impact, message and property bag; filters by status, impact and rule
// run in the page itself. `#status=FAIL&impact=SERIOUS&rule=...` in the
// address sets the filters when the page opens.
std::string htmlReport(const std::vector<ScreenReport>& screens);

}  // namespace audkit::cli
