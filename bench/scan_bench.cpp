// The scan of each bundled example, stage by stage: bundle read, context
// build, the ink image recognition reads, text recognition (ink image
// included), rules and result encoding (the two image stages best of three);
// against each example's text-lines.json: line recall, recall per owning view
// (the view that shows a text receives it, and only it) and font-size error;
// and the whole 'audkit scan' against the tesseract command-line tool on the
// same screenshot (page segmentation 3, one thread), five alternating runs
// each, medians compared. --ocr neural reads the lines the text detector
// finds; tesseract (the default here) lets Tesseract find them.
//
//   build/bench/bench_scan [--ocr neural|tesseract] [EXAMPLES_DIR]
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>

#include "audkit/base/base64.hpp"
#include "audkit/base/text_helpers.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/facade/aud.hpp"
#include "audkit/facade/capture_context.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/ink_image.hpp"
#include "audkit/platform/jpeg_codec.hpp"
#include "audkit/platform/line_detector.hpp"
#include "audkit/platform/tesseract_recognizer.hpp"
#include "audkit/vision/text_matching.hpp"
#include "bench/one_recognition_thread.hpp"
#include "tests/support/expected_verdicts.hpp"

namespace {

using namespace audkit;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double commandSeconds(const std::string& command) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) == -1) return NAN;
    return secondsSince(start);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Two commands run in turn `rounds` times, so that both meet the same load:
// the median time of each.
std::pair<double, double> alternatingSeconds(const std::string& first, const std::string& second, int rounds) {
    std::vector<double> firstTimes, secondTimes;
    for (int i = 0; i < rounds; ++i) {
        firstTimes.push_back(commandSeconds(first));
        secondTimes.push_back(commandSeconds(second));
    }
    return {median(firstTimes), median(secondTimes)};
}

// The shortest of three runs of a stage, and its last result.
template <class Stage>
auto bestOfThree(Stage stage, double& seconds) {
    seconds = INFINITY;
    decltype(stage()) result;
    for (int i = 0; i < 3; ++i) {
        const auto start = Clock::now();
        result = stage();
        seconds = std::min(seconds, secondsSince(start));
    }
    return result;
}

struct Figures {
    std::size_t lines = 0, found = 0, sized = 0, sizedWithinOnePoint = 0, owners = 0, ownersReached = 0,
                ownersExact = 0;
};

// A ground-truth line is found when a recognised line covers its centre and
// reads as it (allowing recognition errors and neighbouring words). Lines of
// fewer than two letters or digits (icons, bullets, password dots) are not
// counted: the recogniser never reports them.
Figures compare(const nlohmann::json& truth, const std::vector<FoundText>& foundTexts) {
    Figures figures;
    for (const auto& line : truth["lines"]) {
        if (lettersAndDigits(line["text"].get<std::string>()) < 2) continue;
        ++figures.lines;
        const auto& box = line["box"];
        const float cx = box["x"].get<float>() + box["width"].get<float>() / 2;
        const float cy = box["y"].get<float>() + box["height"].get<float>() / 2;
        const auto text = line["text"].get<std::string>();
        const auto foundBefore = figures.found;
        for (const auto& found : foundTexts) {
            const auto& r = found.rect;
            if (cx < r.left() || cx > r.right() || cy < r.top() || cy > r.bottom()) continue;
            if (!detectedTextMatches(found.text, text)) continue;
            ++figures.found;
            if (jaroWinkler(comparisonForm(found.text), comparisonForm(text)) >= 0.9) {
                if (std::getenv("AUDKIT_BENCH_VERBOSE") != nullptr)
                    std::printf("  %-40s %5.1f pt, true %4.1f pt, box %gx%g\n", text.c_str(), found.estimatedFontSize,
                                line["fontSize"].get<float>(), found.rect.width(), found.rect.height());
                ++figures.sized;
                if (std::fabs(found.estimatedFontSize - line["fontSize"].get<float>()) <= 1.0F)
                    ++figures.sizedWithinOnePoint;
            }
            break;
        }
        if (std::getenv("AUDKIT_BENCH_VERBOSE") != nullptr && figures.found == foundBefore)
            std::printf("  missed: %s\n", text.c_str());
    }
    return figures;
}

// Whether a view's detected text reads as the text it shows: alike as a
// whole (recognition errors allowed), or each holds the other's words. A
// view given its neighbour's text too ("Wi-Fi Home Network" for "Wi-Fi") is
// not reached.
bool reads(const std::optional<std::string>& detected, const std::string& shown) {
    if (!detected || detected->empty()) return false;
    return jaroWinkler(comparisonForm(*detected), comparisonForm(shown)) >= 0.9 ||
           (shownTextMatches(*detected, shown) && shownTextMatches(shown, *detected));
}

// Recall per owning view: each view that shows counted lines (its class and
// visible frame from the ground truth) must have been given that text.
void compareOwners(const nlohmann::json& truth, const AudView& root, Figures& figures) {
    struct Owner {
        std::string className, shown;
        AudBounds frame;
    };
    std::vector<Owner> owners;
    for (const auto& line : truth["lines"]) {
        const auto text = line["text"].get<std::string>();
        if (lettersAndDigits(text) < 2 || !line.contains("owner")) continue;
        const auto& frame = line["owner"]["frame"];
        // Views are measured in screenshot pixels, the ground truth's frames in points.
        const float scale = truth["scale"].get<float>();
        const float x = frame["X"].get<float>() * scale, y = frame["Y"].get<float>() * scale;
        const AudBounds bounds(x, x + frame["Width"].get<float>() * scale, y, y + frame["Height"].get<float>() * scale);
        const auto className = line["owner"]["className"].get<std::string>();
        auto same = std::find_if(owners.begin(), owners.end(), [&](const Owner& owner) {
            return owner.className == className && owner.frame == bounds;
        });
        if (same == owners.end())
            owners.push_back({className, text, bounds});
        else
            same->shown += " " + text;
    }
    for (const auto& owner : owners) {
        const AudView* view = nullptr;
        root.runOnSelfAndDescendants([&](const AudView& node) {
            const auto& b = node.boundsInScreen;
            const auto& f = owner.frame;
            if (node.className == owner.className && std::fabs(b.left() - f.left()) < 1.5F &&
                std::fabs(b.top() - f.top()) < 1.5F && std::fabs(b.width() - f.width()) < 1.5F &&
                std::fabs(b.height() - f.height()) < 1.5F) {
                view = &node;
                return RunStatus::stop;
            }
            return RunStatus::proceed;
        });
        // Only the views the scan gives text to count (labels, buttons,
        // images, active controls); a status-bar item is never given any.
        if (view == nullptr || !view->detectedText) continue;
        ++figures.owners;
        const bool reached = reads(view->detectedText, owner.shown);
        figures.ownersReached += reached ? 1 : 0;
        // Exactly: the same letters, digits and order, case, punctuation and spacing aside.
        figures.ownersExact += comparisonForm(*view->detectedText) == comparisonForm(owner.shown) ? 1 : 0;
        if (!reached && std::getenv("AUDKIT_BENCH_VERBOSE") != nullptr)
            std::printf("  not reached: %s \"%s\" (given \"%s\")\n", owner.className.c_str(), owner.shown.c_str(),
                        view->detectedText->c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    oneRecognitionThread(argv);
    std::string engine = "tesseract";
    if (argc > 2 && std::string(argv[1]) == "--ocr") {
        engine = argv[2];
        argc -= 2;
        argv += 2;
    }
    const std::filesystem::path examples = argc > 1 ? argv[1] : AUDKIT_SOURCE_DIR "/examples";
    std::shared_ptr<LineDetector> detector;
    if (engine == "neural") {
        detector = std::make_shared<LineDetector>();
        LineDetector::useThreads(1);
    }
    ZKLog::setSink(nullptr);
    // One recogniser per language list the examples ask for.
    std::map<std::string, std::unique_ptr<TesseractRecognizer>> recognizers;
    Figures total;
    double lowestOwnerRecall = 1;
    std::map<std::string, std::pair<int, int>> agreement;  // rule -> (agreed, judged)
    double totalScan = 0, totalTesseract = 0;
    std::printf("%-14s %6s %7s %6s %6s %6s %6s | %6s %6s %6s | %6s %6s %6s\n", "example", "read", "context", "ink",
                "ocr", "rules", "encode", "lines", "views", "size", "scan", "tess", "ratio");
    std::vector<std::filesystem::path> bundles;
    for (const auto& entry : std::filesystem::directory_iterator(examples))
        if (std::filesystem::exists(entry.path() / "text-lines.json")) bundles.push_back(entry.path());
    std::sort(bundles.begin(), bundles.end());
    for (const auto& path : bundles) {
        const auto name = path.filename().string();
        std::ifstream truthFile(path / "text-lines.json");
        const auto truth = nlohmann::json::parse(truthFile);
        const auto languages = truth.value("languages", std::string("eng"));
        auto& recognizerSlot = recognizers[languages];
        if (!recognizerSlot) {
            TesseractRecognizer::Options options;
            options.lines = detector;
            recognizerSlot = std::make_unique<TesseractRecognizer>(languages, options);
        }
        auto& recognizer = *recognizerSlot;

        auto start = Clock::now();
        BundlePlatform platform(CaptureBundle::open(path));
        const double readTime = secondsSince(start);

        std::optional<nlohmann::json> expected;
        if (std::ifstream expectedFile(path / "expected-verdicts.json"); expectedFile)
            expected = nlohmann::json::parse(expectedFile);

        start = Clock::now();
        const auto conf = std::make_shared<AudConf>();
        if (expected && verdicts::scansWithDynamicType(*expected)) conf->setOptInToSupportsDynamicType(true);
        const auto context = captureContext(platform, *platform.elementUnderTest(), *conf);
        const double contextTime = secondsSince(start);

        double inkTime = 0, ocrTime = 0;
        bestOfThree([&] { return inkImage(*context->screenshot.decoded); }, inkTime);
        Aud withText(std::make_shared<AudConf>(), &recognizer);
        const auto foundTexts = bestOfThree([&] { return withText.recognizeText(*context); }, ocrTime);

        start = Clock::now();
        const auto result = Aud(conf, nullptr).run(context);
        const double rulesTime = secondsSince(start);

        start = Clock::now();
        const auto document = resultDocument(*result);
        const double encodeTime = secondsSince(start);

        // The scan as the command line makes it, text included; it leaves
        // each view's detected text in the tree.
        const auto scanned = Aud(conf, &recognizer).run(context);
        if (expected) {
            for (const auto& comparison :
                 verdicts::compare(nlohmann::json::parse(resultDocument(*scanned)), *expected)) {
                auto& [agreed, judged] = agreement[comparison.rule];
                agreed += comparison.agrees() ? 1 : 0;
                ++judged;
                if (!comparison.agrees())
                    std::printf("  %s %s %s: reviewer %s, scan %s\n", name.c_str(), comparison.element.c_str(),
                                comparison.rule.c_str(), comparison.expected.c_str(), comparison.actual.c_str());
            }
        }

        auto figures = compare(truth, foundTexts);
        compareOwners(truth, *context->audView, figures);
        total.lines += figures.lines;
        total.found += figures.found;
        total.sized += figures.sized;
        total.sizedWithinOnePoint += figures.sizedWithinOnePoint;
        total.owners += figures.owners;
        total.ownersReached += figures.ownersReached;
        total.ownersExact += figures.ownersExact;
        const double ownerRecall = figures.owners ? double(figures.ownersReached) / double(figures.owners) : 1.0;
        lowestOwnerRecall = std::min(lowestOwnerRecall, ownerRecall);

        const auto quiet = " > /dev/null 2>&1";
        const auto [scanTime, tesseractTime] = alternatingSeconds(
            std::string(AUDKIT_CLI_PATH) + " scan --ocr " + engine + " --lang " + languages + " " + path.string() +
                quiet,
            "OMP_THREAD_LIMIT=1 tesseract " + (path / "screenshot.png").string() + " - --psm 3 -l " + languages + quiet,
            5);

        totalScan += scanTime;
        totalTesseract += tesseractTime;
        std::printf("%-14s %4.0fms %5.0fms %4.0fms %4.0fms %4.0fms %4.0fms | %6.2f %6.2f %6.2f | %5.2fs %5.2fs %6.2f\n",
                    name.c_str(), readTime * 1e3, contextTime * 1e3, inkTime * 1e3, ocrTime * 1e3, rulesTime * 1e3,
                    encodeTime * 1e3, double(figures.found) / double(figures.lines), ownerRecall,
                    figures.sized ? double(figures.sizedWithinOnePoint) / double(figures.sized) : 0.0, scanTime,
                    tesseractTime, scanTime / tesseractTime);
    }
    std::printf(
        "all examples (%s): line recall %.3f (%zu of %zu lines); recall per owning view %.3f (%zu of %zu views), "
        "lowest on one screen %.2f; exact text per owning view %.3f; font size within 1 pt for %.3f of %zu lines read "
        "exactly; scan %.2fs against "
        "tesseract %.2fs (ratio %.2f)\n",
        engine.c_str(), double(total.found) / double(total.lines), total.found, total.lines,
        double(total.ownersReached) / double(total.owners), total.ownersReached, total.owners, lowestOwnerRecall,
        double(total.ownersExact) / double(total.owners),
        total.sized ? double(total.sizedWithinOnePoint) / double(total.sized) : 0.0, total.sized, totalScan,
        totalTesseract, totalScan / totalTesseract);
    std::printf("agreement with the reviewers' expected verdicts:");
    for (const auto& [rule, counts] : agreement) std::printf(" %s %d/%d", rule.c_str(), counts.first, counts.second);
    std::printf("\n");
    return 0;
}
