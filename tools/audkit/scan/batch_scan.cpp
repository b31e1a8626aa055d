#include <algorithm>
#include <atomic>
#include <iomanip>
#include <mutex>
#include <optional>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>
#include <thread>

#include "audkit/base/process_state.hpp"
#include "audkit/facade/aud_kit.hpp"
#include "audkit/offline/scan_bundle.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/tesseract_recognizer.hpp"
#include "tools/audkit/scan/backend_login.hpp"
#include "tools/audkit/scan/baseline.hpp"
#include "tools/audkit/report/reports.hpp"
#include "tools/audkit/scan/scan_config.hpp"
#include "tools/audkit/scan/scan_support.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::cli {
namespace {

// Scans bundles taken in turn from a shared counter; each worker has its own
// recogniser (a Tesseract engine is not to be shared between threads).
class Batch {
public:
    Batch(const ScanOptions& options, const std::vector<std::string>& bundles, std::ostream& err)
        : options_(options), bundles_(bundles), outcomes_(bundles.size()), err_(err) {}

    // `first` is the calling thread's recogniser, made (and its languages
    // checked) before any work starts.
    std::vector<BundleOutcome> run(unsigned jobs, std::shared_ptr<TextRecognizer> first) {
        std::vector<std::thread> workers;
        for (unsigned worker = 1; worker < jobs; ++worker)
            workers.emplace_back([this] { work(std::make_shared<TesseractRecognizer>(options_.languages)); });
        work(std::move(first));
        for (auto& worker : workers) worker.join();
        return std::move(outcomes_);
    }

private:
    void work(std::shared_ptr<TextRecognizer> recognizer) {
        processState().debugStatements = options_.debug;
        for (std::size_t index; (index = next_++) < bundles_.size();) {
            auto& outcome = outcomes_[index];
            try {
                auto kit = AudKit::offline();
                kit->setConfiguration(configuration(options_, bundles_[index]));
                kit->setTextRecognizer(recognizer);
                BundlePlatform platform(CaptureBundle::open(bundles_[index]));
                auto result = kit->runOnElement(platform, *platform.elementUnderTest());
                // The reports of a batch need the encoded screenshot at most
                // (the HTML page and the JSON document embed it): the decoded
                // pixels (12 MB a screen) go now, and the encoded ones too when
                // no report shows them, so memory stays flat.
                if (result->audContext) {
                    auto& screenshot = result->audContext->screenshot;
                    screenshot.decoded.reset();
                    if (options_.html.empty() && options_.format != "json") screenshot.base64png = std::string();
                }
                if (auto why = whyNothingWasExamined(*result))
                    outcome.error = std::move(*why);
                else
                    outcome.result = std::move(result);
            } catch (const std::exception& error) {
                outcome.error = failureLine(error);
            }
            // Progress, one line per screen, terminal or not.
            const std::lock_guard lock(progress_);
            err_ << "audkit: [" << ++done_ << "/" << bundles_.size() << "] " << bundles_[index]
                 << (outcome.error.empty() ? "" : ": " + outcome.error) << '\n'
                 << std::flush;
        }
    }

    const ScanOptions& options_;
    const std::vector<std::string>& bundles_;
    std::vector<BundleOutcome> outcomes_;
    std::ostream& err_;
    std::atomic<std::size_t> next_{0};
    std::mutex progress_;
    std::size_t done_ = 0;
};

void summaryTable(std::ostream& out, const std::vector<std::string>& bundles,
                  const std::vector<std::optional<ScreenReport>>& reports, AudImpact gate) {
    std::size_t width = 6;
    for (const auto& bundle : bundles) width = std::max(width, bundle.size());
    out << std::left << std::setw(static_cast<int>(width)) << "screen" << std::right << std::setw(10) << "failures"
        << std::setw(12) << "incomplete" << std::setw(8) << "passes" << std::setw(7) << "views"
        << "  verdict\n";
    for (std::size_t i = 0; i < bundles.size(); ++i) {
        out << std::left << std::setw(static_cast<int>(width)) << bundles[i] << std::right;
        if (!reports[i]) {
            out << std::setw(10) << "-" << std::setw(12) << "-" << std::setw(8) << "-" << std::setw(7) << "-"
                << "  ERROR\n";
            continue;
        }
        const auto& result = *reports[i]->result;
        out << std::setw(10) << result.failures().size() << std::setw(12) << result.incompletes().size()
            << std::setw(8) << result.passes().size() << std::setw(7) << reports[i]->coverage.viewsExamined << "  "
            << (failsTheGate(*reports[i], gate) ? "FAIL" : "PASS") << '\n';
    }
}

}  // namespace

std::vector<BundleOutcome> scanBundles(const ScanOptions& options, const std::vector<std::string>& bundles,
                                       std::ostream& err) {
    (void)configuration(options);  // a mistake in the options stops the batch before it starts
    const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
    const auto jobs = static_cast<unsigned>(
        std::min<std::size_t>(options.jobs ? options.jobs : cores, std::max<std::size_t>(bundles.size(), 1)));
    auto first = std::make_shared<TesseractRecognizer>(options.languages);  // a missing model stops the batch
    return Batch(options, bundles, err).run(jobs, std::move(first));
}

int runBatchScan(const ScanOptions& options, const std::vector<std::string>& bundles, std::ostream& out,
                 std::ostream& err) {
    if (!options.output.empty() || !options.annotate.empty() || options.post || !options.save.empty())
        throw UsageError("--output, --annotate, --post and --save take one bundle; a batch writes --junit and --html");
    const auto gate = failureGate(options.failOn);
    std::optional<Baseline> baseline;
    if (!options.baseline.empty()) baseline = Baseline::read(options.baseline);
    const auto outcomes = scanBundles(options, bundles, err);

    std::vector<std::optional<ScreenReport>> reports(bundles.size());
    std::vector<ScreenReport> screens;
    for (std::size_t i = 0; i < bundles.size(); ++i) {
        if (!outcomes[i].result) continue;
        reports[i] = screenReport(bundles[i], outcomes[i].result);
        reports[i]->experimentalFails = options.failOnExperimental;
        if (baseline) baseline->mark(*reports[i]);
        screens.push_back(*reports[i]);
    }
    if (!options.junit.empty()) writeDocument(options.junit, junitReport(screens));
    if (!options.html.empty()) writeDocument(options.html, htmlReport(screens));

    if (options.format == "json") {
        nlohmann::ordered_json documents = nlohmann::ordered_json::array();
        for (std::size_t i = 0; i < bundles.size(); ++i) {
            nlohmann::ordered_json entry{{"bundle", bundles[i]}};
            if (outcomes[i].result)
                entry["result"] = nlohmann::ordered_json::parse(resultDocument(*outcomes[i].result, -1));
            else
                entry["error"] = outcomes[i].error;
            documents.push_back(std::move(entry));
        }
        out << documents.dump(2) << '\n';
    } else {
        for (std::size_t i = 0; i < bundles.size(); ++i) {
            if (!reports[i])
                out << bundles[i] << ": not scanned: " << outcomes[i].error << "\n\n";
            else if (options.format == "description")
                out << "== " << bundles[i] << "\n" << outcomes[i].result->description() << '\n';
            else
                writeTextReport(out, *reports[i]), out << '\n';
        }
        summaryTable(out, bundles, reports, gate);
    }
    bool broken = false, failing = false;
    for (const auto& report : reports) {
        broken |= !report;
        failing |= report && failsTheGate(*report, gate);
    }
    return broken ? exitUsage : failing ? exitFailures : exitSuccess;
}

}  // namespace audkit::cli
