#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>

#include "audkit/base/error.hpp"
#include "audkit/base/process_state.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/facade/aud_kit.hpp"
#include "audkit/offline/scan_bundle.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/png_codec.hpp"
#include "audkit/platform/tesseract_recognizer.hpp"
#include "tools/audkit/report/annotated_screenshot.hpp"
#include "tools/audkit/scan/backend_login.hpp"
#include "tools/audkit/scan/baseline.hpp"
#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/report/reports.hpp"
#include "tools/audkit/scan/scan_config.hpp"
#include "tools/audkit/scan/scan_support.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::cli {

int runScan(const ScanOptions& requested, const LoginOptions& login, std::ostream& out, std::ostream& err) {
    processState().debugStatements = requested.debug;
    auto stage = [&](const char* text) {
        if (requested.progress) err << "audkit: " << text << "...\n" << std::flush;
    };
    try {
        const auto options = withConfiguration(requested);
        const auto gate = failureGate(options.failOn);
        auto given = options.bundles;
        if (!options.bundle.empty()) given.insert(given.begin(), options.bundle);
        if (given.empty()) throw UsageError("no bundle to scan");
        const auto bundles = bundlesToScan(given);
        if (given.size() > 1 || bundles.size() != 1 || bundles[0] != given[0])
            return runBatchScan(options, bundles, out, err);
        const auto& bundle = bundles[0];
        auto conf = configuration(options, bundle);
        std::optional<Baseline> baseline;
        if (!options.baseline.empty()) baseline = Baseline::read(options.baseline);
        // The models load while the bundle is read and its screenshot decoded;
        // a missing one is an error before the scan, never a scan without text.
        auto recognizer =
            std::make_shared<TesseractRecognizer>(options.languages, TesseractRecognizer::Options::oneScanAtATime());
        const bool backend = options.post || !options.save.empty();
        std::unique_ptr<AudKit> kit;
        if (backend) {
            stage("logging in");
            kit = loginToBackend(login);
        } else {
            kit = AudKit::offline();
        }
        kit->setConfiguration(conf);
        kit->setTextRecognizer(recognizer);
        stage("reading the bundle");
        BundlePlatform platform(CaptureBundle::open(bundle));
        readyToScan(platform, *recognizer);
        stage("recognising text and running the rules");
        const auto result = kit->runOnElement(platform, *platform.elementUnderTest());
        // A capture in which nothing could be examined (unreadable frames,
        // every element hidden, only the system's) is no pass.
        if (const auto why = whyNothingWasExamined(*result)) {
            err << "audkit: " << platform.bundle().capturePath().string() << ": " << *why << '\n';
            return exitUsage;
        }
        auto report = screenReport(bundle, result);
        report.experimentalFails = options.failOnExperimental;
        if (baseline) baseline->mark(report);
        const auto& screenshot = result->audContext->screenshot.decoded;
        if (!options.annotate.empty() && !screenshot)
            throw UsageError("--annotate needs a screenshot, and this capture has none");
        if (!options.output.empty()) writeDocument(options.output, resultDocument(*result, 2) + "\n");
        if (!options.junit.empty()) writeDocument(options.junit, junitReport({report}));
        if (!options.html.empty()) writeDocument(options.html, htmlReport({report}));
        if (!options.annotate.empty()) {
            writeDocument(options.annotate, encodePng(annotatedScreenshot(*screenshot, report.findings,
                                                                          result->audContext->audDevice.scale)));
        }
        if (options.format == "json")
            out << resultDocument(*result, 2) << '\n';
        else if (options.format == "description")
            out << result->description();
        else
            writeTextReport(out, report);
        // Rules that could not run are named, never passed over in silence
        // (the text report lists them itself).
        if (options.format != "text")
            for (const auto& [id, reason] : result->rulesNotRun)
                err << "audkit: " << id << " was not run: " << reason << '\n';
        const std::optional<std::string> scanName =
            options.scanName.empty() ? std::nullopt : std::optional<std::string>(options.scanName);
        if (!options.save.empty()) {
            out << kit->saveResultInFolder(*result, options.save, "", scanName) << '\n';
        }
        if (options.post) {
            stage("posting the result");
            try {
                out << kit->postResult(*result, options.tags, scanName).description() << '\n';
            } catch (const PostFollowUpError& error) {
                // The result is stored: its key is printed where it always is.
                out << error.key().description() << '\n';
                throw;
            }
        }
        return failsTheGate(report, gate) ? exitFailures : exitSuccess;
    } catch (const std::exception& error) {
        err << "audkit: " << failureLine(error) << '\n';
        return exitUsage;
    }
}

}  // namespace audkit::cli
