#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "audkit/rules/aud_result.hpp"

namespace audkit::cli {

// Rules switched off for the views that match every given criterion, on
// every screen or on one (the bundle's folder name).
struct ViewIgnore {
    ViewRulesIgnore ignore;
    std::optional<std::string> screen;
};

// The adoption controls a team checks in (audkit scan --config audkit.json):
//   {"ignore": ["ColorContrast"],
//    "ignoreViews": [{"rules": ["TouchTargetSize"], "className": "UISwitch", "screen": "sign-in"}],
//    "failOn": "serious",
//    "rules": {"LabelAtFront": {"impact": "moderate"}},
//    "includeSystem": false, "failOnExperimental": true}
// "ignoreViews" entries match by "className", "identifier", "label", "type"
// (the element type: "button", "staticText" ...) and "screen" (the bundle's
// folder name); "rules" sets the impact the rules report.
struct ScanConfig {
    std::vector<std::string> ignore;
    std::vector<ViewIgnore> ignoreViews;
    std::optional<std::string> failOn;
    std::map<std::string, AudImpact> impacts;
    bool includeSystem = false;       // judge the elements the system draws too
    bool failOnExperimental = false;  // an experimental rule's failures fail the scan
};

// Strict: an unknown key, a value of the wrong kind or an unknown rule id is
// a UsageError naming it ("audkit.json: ignoreViews[1]: unknown key \"lable\"").
ScanConfig readScanConfig(const std::string& path);


}  // namespace audkit::cli
