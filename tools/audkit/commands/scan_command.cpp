#include <algorithm>
#include <memory>
#include <ostream>
#include <set>

#include "audkit/base/error.hpp"
#include "audkit/facade/aud_kit.hpp"
#include "audkit/platform/png_codec.hpp"
#include "audkit/platform/recognition_languages.hpp"
#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/commands/input_file.hpp"
#include "tools/audkit/import/dump_import.hpp"
#include "tools/audkit/report/annotated_screenshot.hpp"
#include "tools/audkit/report/output_file.hpp"
#include "tools/audkit/report/scan_reports.hpp"
#include "tools/audkit/report/text_output.hpp"
#include "tools/audkit/scan/backend_login.hpp"
#include "tools/audkit/scan/baseline.hpp"
#include "tools/audkit/scan/scan_pipeline.hpp"
#include "tools/audkit/scan/scan_support.hpp"

namespace audkit::cli {
namespace {

// What a single screen's scan does beyond the reports: the result document,
// the annotated screenshot, and the backend's copy.
void singleScreenExtras(const ScanOptions& options, const ScreenReport& report, AudKit* backend, std::ostream& out,
                        std::ostream& err) {
    auto& result = *report.result;
    if (!options.output.empty()) writeDocument(options.output, resultDocument(result, 2) + "\n");
    if (!options.annotate.empty()) {
        const auto& screenshot = result.audContext->screenshot.decoded;
        if (!screenshot) throw UsageError("--annotate needs a screenshot, and this capture has none");
        writeDocument(options.annotate,
                      encodePng(annotatedScreenshot(*screenshot, report.findings, result.audContext->audDevice.scale)));
    }
    if (!backend) return;
    const std::optional<std::string> scanName =
        options.scanName.empty() ? std::nullopt : std::optional<std::string>(options.scanName);
    if (!options.save.empty()) out << backend->saveResultInFolder(result, options.save, "", scanName) << '\n';
    if (options.post) {
        if (options.progress) err << "audkit: posting the result...\n" << std::flush;
        try {
            out << backend->postResult(result, options.tags, scanName).description() << '\n';
        } catch (const PostFollowUpError& error) {
            // The result is stored: its key is printed where it always is.
            out << error.key().description() << '\n';
            throw;
        }
    }
}

}  // namespace

int runScan(const ScanOptions& requested, const LoginOptions& login, std::ostream& out, std::ostream& err) {
    try {
        // "-" stands for standard input, which holds one file at most.
        if (std::count(requested.bundles.begin(), requested.bundles.end(), standardInput) +
                (requested.config == standardInput) + (requested.baseline == standardInput) >
            1)
            throw UsageError("- stands for standard input, which can be read only once");
        // Configure: everything decided before the first screen is read.
        const auto options = withConfiguration(requested);
        const auto gate = failureGate(options.failOn);
        if (options.bundles.empty()) throw UsageError("no bundle to scan");
        const auto bundles = bundlesToScan(options.bundles);
        const bool batch = options.bundles.size() > 1 || bundles.size() != 1 || bundles[0] != options.bundles[0];
        if (batch && (!options.output.empty() || !options.annotate.empty() || options.post || !options.save.empty()))
            throw UsageError(
                "--output, --annotate, --post and --save take one bundle; a batch writes --junit and --html");
        if (!options.screenshot.empty() && (batch || !isDumpFile(bundles[0])))
            throw UsageError(
                "--screenshot takes one page source or debug description to scan; a bundle has its own screenshot");
        std::optional<Baseline> baseline;
        if (!options.baseline.empty()) baseline = Baseline::read(options.baseline);
        // Saving a result needs no server: only posting logs in.
        std::unique_ptr<AudKit> backend;
        if (options.post) {
            if (options.progress) err << "audkit: logging in...\n" << std::flush;
            backend = loginToBackend(login);
        } else if (!options.save.empty()) {
            backend = AudKit::offline();
        }

        // Scan each screen, hand its outcome to the reports, then let it go.
        ScanReports reports({options.format, options.junit, options.html, options.sarif, options.gitlab, batch, gate},
                            out);
        ScreenScan scan{options,
                        baseline ? &*baseline : nullptr,
                        options.failOnExperimental,
                        !options.annotate.empty(),
                        batch,
                        options.screenshot};
        if (!batch && options.progress) err << "audkit: scanning " << bundles[0] << "...\n" << std::flush;
        std::optional<std::string> singleError;
        std::set<std::string> namedModels;  // each missing model is named once
        scanScreens(scan, bundles, err, [&](ScreenOutcome& screen) {
            for (const auto& note : screen.notes) err << "audkit: " << screen.name << ": " << note << '\n';
            if (!screen.report) {
                reports.notScanned(screen.name, screen.error);
                if (!batch) singleError = (screen.examinedNothing ? screen.name + ": " : "") + screen.error;
                return;
            }
            if (baseline) baseline->noteScanned(*screen.report);
            reports.add(*screen.report);
            for (const auto& code : screen.report->result->missingLanguageModels)
                if (namedModels.insert(code).second)
                    err << "audkit: " << screen.name << ": " << missingModelNote(code) << "\n";
            // Rules that could not run are named, never passed over in silence
            // (the text report lists them itself).
            if (options.format != "text")
                for (const auto& [id, reason] : screen.report->result->rulesNotRun)
                    err << "audkit: " << (batch ? screen.name + ": " : "") << id << " was not run: " << reason << '\n';
            if (!batch) singleScreenExtras(options, *screen.report, backend.get(), out, err);
        });
        if (singleError) {
            // A capture that could not be scanned, or showed nothing to judge, is no pass.
            err << "audkit: " << *singleError << '\n';
            return exitUsage;
        }
        reports.finish();
        if (baseline) reportStale(*baseline, options.baseline, err);
        return reports.anyNotScanned() ? exitUsage : reports.anyFailing() ? exitFailures : exitSuccess;
    } catch (const std::exception& error) {
        err << "audkit: " << failureLine(error) << '\n';
        return exitUsage;
    }
}

}  // namespace audkit::cli
