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

// A mistake in the command line: exit 2 with its message.
class UsageError : public Error {
public:
    using Error::Error;
};

// The rules' configuration the options ask for, decided before the scan of
// the screen (the bundle as given): ignores by rule and by view, impacts,
// opt-ins. Unknown rule ids are a UsageError.
std::shared_ptr<AudConf> configuration(const ScanOptions& options, const std::string& screen = "");

// The options with the configuration file's controls merged in: its ignores
// added, its gate unless the command line gave one, its impacts and view
// ignores. Without a file, the options as they are.
ScanOptions withConfiguration(const ScanOptions& options);

// A file given on the command line (a dump, a baseline, a configuration),
// read whole: a regular file of at most `largest` bytes, else a UsageError
// naming it and what it is (a FIFO or a device would block or never end).
std::string readInputFile(const std::string& path, std::uintmax_t largest, const std::string& what);

// The least impact a failure needs to fail the scan ("" is minor).
AudImpact failureGate(const std::string& level);

// Written beside the target first and then moved over it, so a failed write
// never leaves half a document.
void writeDocument(const std::string& path, const std::string& document);

// The bundles the paths name: a bundle (a folder with capture.json, or a
// capture.json) stands for itself; a folder of bundles for the bundles in it,
// in name order. Anything else is handed on as it is, so reading it says what
// is wrong.
std::vector<std::string> bundlesToScan(const std::vector<std::string>& paths);

// One bundle of a batch: its result, or why it could not be scanned.
struct BundleOutcome {
    std::shared_ptr<AudResult> result;
    std::string error;
};

// Scans the bundles offline on `options.jobs` threads (0: one per core), each
// with its own text recogniser, showing progress one line per screen.
std::vector<BundleOutcome> scanBundles(const ScanOptions& options, const std::vector<std::string>& bundles,
                                       std::ostream& err);

// Scans several bundles on `jobs` threads (0: one per core), each with its own
// text recogniser, and writes one combined report; exit 2 when any bundle
// could not be scanned (the others still are), else 1 when any fails the gate.
int runBatchScan(const ScanOptions& options, const std::vector<std::string>& bundles, std::ostream& out,
                 std::ostream& err);

}  // namespace audkit::cli
