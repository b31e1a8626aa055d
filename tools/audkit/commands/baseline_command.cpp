#include <ostream>

#include "tools/audkit/scan/backend_login.hpp"
#include "tools/audkit/scan/baseline.hpp"
#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/scan/scan_support.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::cli {

int runBaseline(const BaselineOptions& options, std::ostream& out, std::ostream& err) {
    try {
        const auto bundles = bundlesToScan(options.bundles);
        if (bundles.empty()) throw UsageError("no bundle to record");
        const auto outcomes = scanBundles(withConfiguration(options.scan), bundles, err);
        Baseline baseline;
        for (std::size_t i = 0; i < bundles.size(); ++i) {
            // A baseline without one of its screens would call all of that screen's findings new later.
            if (!outcomes[i].result)
                throw UsageError(bundles[i] + " could not be scanned (" + outcomes[i].error + "); nothing was written");
            baseline.record(screenReport(bundles[i], outcomes[i].result));
        }
        writeDocument(options.output, baseline.document());
        out << options.output << ": " << baseline.size() << " findings of " << bundles.size()
            << (bundles.size() == 1 ? " screen" : " screens") << " recorded\n";
        return exitSuccess;
    } catch (const std::exception& error) {
        err << "audkit: " << failureLine(error) << '\n';
        return exitUsage;
    }
}

}  // namespace audkit::cli
