#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "audkit/base/error.hpp"
#include "audkit/rules/aud_conf.hpp"
#include "audkit/rules/aud_result.hpp"
#include "tools/audkit/commands/commands.hpp"

// What the single scan and the batch share.
namespace audkit::cli {

// The rules' configuration the options ask for, decided before the scan of
// the screen (the bundle as given): ignores by rule and by view, impacts,
// opt-ins. Unknown rule ids are a UsageError.
std::shared_ptr<AudConf> configuration(const JudgingOptions& options, const std::string& screen = "");

// The options with the configuration file's controls merged in: its ignores
// added, its impacts and view ignores, its opt-ins, and for a scan its gate
// unless the command line gave one. Without a file, the options as they are.
ScanOptions withConfiguration(const ScanOptions& options);
BaselineOptions withConfiguration(const BaselineOptions& options);


// The least impact a failure needs to fail the scan ("" is minor).
AudImpact failureGate(const std::string& level);

// The bundles the paths name: a bundle (a folder with capture.json, or a
// capture.json) stands for itself; a folder of bundles for the bundles in it,
// in name order. Anything else is handed on as it is, so reading it says what
// is wrong.
std::vector<std::string> bundlesToScan(const std::vector<std::string>& paths);


}  // namespace audkit::cli
