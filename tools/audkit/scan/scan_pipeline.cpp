#include "tools/audkit/scan/scan_pipeline.hpp"

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <ostream>
#include <thread>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "audkit/base/process_state.hpp"
#include "audkit/offline/scan_bundle.hpp"
#include "audkit/platform/line_detector.hpp"
#include "audkit/platform/tesseract_recognizer.hpp"
#include "tools/audkit/import/dump_import.hpp"
#include "tools/audkit/report/output_file.hpp"
#include "tools/audkit/report/text_output.hpp"
#include "tools/audkit/scan/scan_support.hpp"

namespace audkit::cli {
namespace {

// The recogniser of one worker, made for the languages a screen needs and
// kept for the next screens while they need the same. One at a time: every
// language's models held at once grew a mixed batch by a model set per
// language and worker (a Japanese screen among English ones: 100 -> 200 MB),
// where a change of languages costs a load of some tenths of a second.
class Recognizers {
public:
    explicit Recognizers(TesseractRecognizer::Options options) : options_(options) {}
    Recognizers(TesseractRecognizer::Options options, const std::string& languages,
                std::shared_ptr<TextRecognizer> made)
        : options_(options), languages_(languages), recognizer_(std::move(made)) {}

    std::shared_ptr<TextRecognizer> operator()(const std::string& languages) {
        if (!recognizer_ || languages != languages_) {
            recognizer_.reset();  // its models go before the next ones load
            recognizer_ = std::make_shared<TesseractRecognizer>(languages, options_);
            languages_ = languages;
        }
        return recognizer_;
    }

private:
    TesseractRecognizer::Options options_;
    std::string languages_;
    std::shared_ptr<TextRecognizer> recognizer_;
};

// Workers take screens in turn and leave each outcome in its slot; the
// calling thread hands the slots on in order. Workers stay at most `ahead`
// screens in front of the one handed on, so finished screens never pile up.
class OrderedScan {
public:
    OrderedScan(const ScreenScan& scan, const std::vector<std::string>& bundles, std::ostream& err, unsigned jobs)
        : scan_(scan), bundles_(bundles), err_(err), slots_(bundles.size()), ahead_(4 * jobs) {}

    void work(Recognizers recognizers) {
        processState().debugStatements = scan_.judging.debug;
        for (;;) {
            std::size_t index;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return stopped_ || next_ >= bundles_.size() || next_ < handedOn_ + ahead_; });
                if (stopped_ || next_ >= bundles_.size()) return;
                index = next_++;
            }
            auto outcome = scanOne(bundles_[index], recognizers);
            const std::lock_guard lock(mutex_);
            if (scan_.showsProgress)
                err_ << "audkit: [" << ++done_ << "/" << bundles_.size() << "] " << bundles_[index]
                     << (outcome.error.empty() ? "" : ": " + outcome.error) << '\n'
                     << std::flush;
            slots_[index] = std::move(outcome);
            changed_.notify_all();
        }
    }

    // Hands every outcome on in order (on the calling thread).
    void handOn(const std::function<void(ScreenOutcome&)>& each) {
        for (std::size_t index = 0; index < bundles_.size(); ++index) {
            std::optional<ScreenOutcome> outcome;
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return slots_[index].has_value(); });
                outcome = std::move(slots_[index]);
                slots_[index].reset();
                ++handedOn_;
            }
            changed_.notify_all();
            each(*outcome);
        }
    }

    void stop() {
        const std::lock_guard lock(mutex_);
        stopped_ = true;
        changed_.notify_all();
    }

private:
    ScreenOutcome scanOne(const std::string& bundle, Recognizers& recognizers) const {
        ScreenOutcome outcome{bundle, std::nullopt, {}, false, {}};
        // A dump of another tool is imported into a bundle of its own for the
        // scan (with the screenshot published beside it), then let go.
        std::optional<std::filesystem::path> imported;
        const auto cleanUp = [&] {
            std::error_code ignored;
            if (imported) std::filesystem::remove_all(imported->parent_path(), ignored);
        };
        try {
            if (isDumpFile(bundle)) {
                imported = temporaryFolderBeside(std::filesystem::temp_directory_path() / "audkit-scan") / "bundle";
                importDump(bundle, scan_.screenshot.empty() ? screenshotBeside(bundle) : scan_.screenshot, *imported,
                           outcome.notes);
            }
            BundleScanOptions options;
            options.configuration = configuration(scan_.judging, bundle);
            options.languages = scan_.judging.languages;
            options.recognizerFor = std::ref(recognizers);
            auto result = scanBundle(imported ? imported->string() : bundle, options);
            cleanUp();
            // The decoded pixels (12 MB a screen) go unless something draws on
            // them; the reports embed the encoded screenshot.
            if (result->audContext && !scan_.keepsPixels) result->audContext->screenshot.decoded.reset();
            if (auto why = whyNothingWasExamined(*result)) {
                outcome.error = std::move(*why);
                outcome.examinedNothing = true;
                return outcome;
            }
            auto report = screenReport(bundle, std::move(result));
            report.experimentalFails = scan_.experimentalFails;
            if (scan_.baseline) scan_.baseline->mark(report);
            outcome.report = std::move(report);
        } catch (const std::exception& error) {
            outcome.error = failureLine(error);
        }
        cleanUp();
        return outcome;
    }

    const ScreenScan& scan_;
    const std::vector<std::string>& bundles_;
    std::ostream& err_;
    std::vector<std::optional<ScreenOutcome>> slots_;
    const std::size_t ahead_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0, handedOn_ = 0, done_ = 0;
    bool stopped_ = false;
};

}  // namespace

void scanScreens(const ScreenScan& scan, const std::vector<std::string>& bundles, std::ostream& err,
                 const std::function<void(ScreenOutcome&)>& each) {
    if (bundles.empty()) return;
    (void)configuration(scan.judging);  // a mistake in the options stops the scan before it starts
    const unsigned cores = std::max(1U, std::thread::hardware_concurrency());
    const auto jobs =
        static_cast<unsigned>(std::min<std::size_t>(scan.judging.jobs ? scan.judging.jobs : cores, bundles.size()));
    // A scan alone on the machine reads each screen with every core; side by
    // side, each worker reads with one. Given languages: the first recogniser
    // is made here, so a missing model stops the scan before it starts.
    // Languages chosen from each screen are loaded as screens need them.
    // Each worker loads a line detector of its own (the network is not
    // shared between threads), once for all its screens.
    auto options = jobs == 1 ? TesseractRecognizer::Options::oneScanAtATime() : TesseractRecognizer::Options{};
    const auto& engine = scan.judging.ocr;
    options.lines = lineDetectorFor(engine);
    LineDetector::useThreads(jobs == 1 ? static_cast<int>(cores) : 1);
    const auto& languages = scan.judging.languages;
    auto first = languages.empty()
                     ? Recognizers(options)
                     : Recognizers(options, languages, std::make_shared<TesseractRecognizer>(languages, options));

#ifdef __GLIBC__
    // A decoded screenshot is some 12 MB. glibc raises its mapping threshold
    // to the size of each large block freed, so from the second screen on the
    // screenshots come from the workers' heaps, which fragment and keep what
    // they once held: two workers peaked at 1.6x a single scan. With a fixed
    // threshold every screenshot is mapped and given back when its screen is done.
    if (bundles.size() > 1) mallopt(M_MMAP_THRESHOLD, 8 << 20);
#endif
    OrderedScan ordered(scan, bundles, err, jobs);
    std::vector<std::jthread> workers;
    workers.emplace_back([&ordered, first = std::move(first)]() mutable { ordered.work(std::move(first)); });
    for (unsigned worker = 1; worker < jobs; ++worker)
        workers.emplace_back([&ordered, &languages, &engine] {
            TesseractRecognizer::Options options;
            std::shared_ptr<TextRecognizer> recognizer;
            try {
                options.lines = lineDetectorFor(engine);
                if (languages.empty()) return ordered.work(Recognizers(options));
                recognizer = std::make_shared<TesseractRecognizer>(languages, options);
            } catch (const std::exception&) {
                return;  // the first worker loaded the same models: the other workers scan on
            }
            ordered.work(Recognizers(options, languages, std::move(recognizer)));
        });
    try {
        ordered.handOn(each);
    } catch (...) {
        ordered.stop();
        throw;  // the workers finish the screen at hand and are joined
    }
}

}  // namespace audkit::cli
