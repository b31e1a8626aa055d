#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/report/screen_report.hpp"
#include "tools/audkit/scan/baseline.hpp"

// The one path every scan of the scanner takes, a single screen being a batch
// of one: configure, scan each screen, make its outcome, hand it on in order.
namespace audkit::cli {

// One screen as the reports take it: its report (result, findings, what was
// examined and not run, baseline marks), or why it could not be scanned.
struct ScreenOutcome {
    std::string name;  // the bundle as given
    std::optional<ScreenReport> report;
    std::string error;
    bool examinedNothing = false;    // the error: the capture showed nothing to judge
    std::vector<std::string> notes;  // what the reader of an imported dump should know
};

// How the screens are scanned and their outcomes made.
struct ScreenScan {
    JudgingOptions judging;              // with the configuration file merged in
    const Baseline* baseline = nullptr;  // marks the findings it holds as known
    bool experimentalFails = false;
    bool keepsPixels = false;     // the decoded screenshot stays with the result (to draw on it)
    bool showsProgress = true;    // a line per screen on standard error: "[3/54] bundle"
    std::string screenshot = {};  // the screenshot of a single dump scanned (else the one beside it)
};

// Scans the bundles offline on `judging.jobs` threads (0: one per core, never
// more than screens), each with its own text recogniser, and hands each
// screen's outcome to `each` on the calling thread in the order of the
// bundles, releasing it after: only a few screens ahead are scanned
// meanwhile, so memory stays flat however many screens there are. A mistake
// in the options or a missing language model throws before any scan; what
// `each` throws stops the scan and is thrown on.
void scanScreens(const ScreenScan& scan, const std::vector<std::string>& bundles, std::ostream& err,
                 const std::function<void(ScreenOutcome&)>& each);

}  // namespace audkit::cli
