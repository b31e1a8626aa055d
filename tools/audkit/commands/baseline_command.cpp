#include <ostream>

#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/report/output_file.hpp"
#include "tools/audkit/report/text_output.hpp"
#include "tools/audkit/scan/baseline.hpp"
#include "tools/audkit/scan/scan_pipeline.hpp"
#include "tools/audkit/scan/scan_support.hpp"

namespace audkit::cli {

int runBaseline(const BaselineOptions& requested, std::ostream& out, std::ostream& err) {
    try {
        const auto options = withConfiguration(requested);
        const auto bundles = bundlesToScan(options.bundles);
        if (bundles.empty()) throw UsageError("no bundle to record");
        Baseline baseline;
        scanScreens({options}, bundles, err, [&](ScreenOutcome& screen) {
            // A baseline without one of its screens would call all of that screen's findings new later.
            if (!screen.report)
                throw UsageError(screen.name + " could not be scanned (" + screen.error + "); nothing was written");
            baseline.record(*screen.report);
        });
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
