// The scan of each bundled example, stage by stage: bundle read, context
// build, text recognition, rules and result encoding; text-line recall and
// font-size error against each example's text-lines.json; and the whole
// 'audkit scan' against the tesseract command-line tool on the same
// screenshot (page segmentation 3, one thread), as a ratio measured in one run.
//
//   build/bench/bench_scan [EXAMPLES_DIR]
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
#include "audkit/platform/jpeg_codec.hpp"
#include "audkit/platform/tesseract_recognizer.hpp"
#include "audkit/vision/text_matching.hpp"
#include "tests/support/expected_verdicts.hpp"

namespace {

using namespace audkit;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The median time of `rounds` runs of a shell command.
double commandSeconds(const std::string& command, int rounds) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        if (std::system(command.c_str()) == -1) return NAN;
        times.push_back(secondsSince(start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Figures {
    std::size_t lines = 0, found = 0, sized = 0, sizedWithinOnePoint = 0;
};

// Letters and digits in a text.
std::size_t lettersAndDigits(const std::string& text) {
    return std::count_if(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c) != 0 || c >= 0x80; });
}

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

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path examples = argc > 1 ? argv[1] : AUDKIT_SOURCE_DIR "/examples";
    ZKLog::setSink(nullptr);
    // One recogniser per language list the examples ask for.
    std::map<std::string, std::unique_ptr<TesseractRecognizer>> recognizers;
    Figures total;
    std::map<std::string, std::pair<int, int>> agreement;  // rule -> (agreed, judged)
    double totalScan = 0, totalTesseract = 0;
    std::printf("%-10s %8s %8s %8s %8s %8s | %6s %6s | %8s %8s %6s\n", "example", "read", "context", "ocr", "rules",
                "encode", "recall", "size", "scan", "tess", "ratio");
    for (const auto& entry : std::filesystem::directory_iterator(examples)) {
        if (!std::filesystem::exists(entry.path() / "text-lines.json")) continue;
        const auto name = entry.path().filename().string();
        std::ifstream truthFile(entry.path() / "text-lines.json");
        const auto truth = nlohmann::json::parse(truthFile);
        const auto languages = truth.value("languages", std::string("eng"));
        auto& recognizerSlot = recognizers[languages];
        if (!recognizerSlot) recognizerSlot = std::make_unique<TesseractRecognizer>(languages);
        auto& recognizer = *recognizerSlot;

        auto start = Clock::now();
        BundlePlatform platform(CaptureBundle::open(entry.path()));
        const double readTime = secondsSince(start);

        std::optional<nlohmann::json> expected;
        if (std::ifstream expectedFile(entry.path() / "expected-verdicts.json"); expectedFile)
            expected = nlohmann::json::parse(expectedFile);

        start = Clock::now();
        const auto conf = std::make_shared<AudConf>();
        if (expected && verdicts::scansWithDynamicType(*expected)) conf->setOptInToSupportsDynamicType(true);
        const auto context = captureContext(platform, *platform.elementUnderTest(), *conf);
        const double contextTime = secondsSince(start);

        start = Clock::now();
        Aud withText(std::make_shared<AudConf>(), &recognizer);
        const auto foundTexts = withText.recognizeText(*context);
        const double ocrTime = secondsSince(start);

        start = Clock::now();
        const auto result = Aud(conf, nullptr).run(context);
        const double rulesTime = secondsSince(start);

        start = Clock::now();
        const auto document = resultDocument(*result);
        const double encodeTime = secondsSince(start);

        if (expected) {
            // The scan as the command line makes it, text included.
            const auto scanned = nlohmann::json::parse(resultDocument(*Aud(conf, &recognizer).run(context)));
            for (const auto& comparison : verdicts::compare(scanned, *expected)) {
                auto& [agreed, judged] = agreement[comparison.rule];
                agreed += comparison.agrees() ? 1 : 0;
                ++judged;
                if (!comparison.agrees())
                    std::printf("  %s %s %s: reviewer %s, scan %s\n", name.c_str(), comparison.element.c_str(),
                                comparison.rule.c_str(), comparison.expected.c_str(), comparison.actual.c_str());
            }
        }

        const auto figures = compare(truth, foundTexts);
        total.lines += figures.lines;
        total.found += figures.found;
        total.sized += figures.sized;
        total.sizedWithinOnePoint += figures.sizedWithinOnePoint;

        const auto quiet = " > /dev/null 2>&1";
        const double scanTime =
            commandSeconds(std::string(AUDKIT_CLI_PATH) + " scan --lang " + languages + " " + entry.path().string() + quiet, 3);
        const double tesseractTime = commandSeconds("OMP_THREAD_LIMIT=1 tesseract " +
                                                        (entry.path() / "screenshot.png").string() + " - --psm 3 -l " +
                                                        languages + quiet,
                                                    3);

        totalScan += scanTime;
        totalTesseract += tesseractTime;
        std::printf("%-10s %7.0fms %7.0fms %7.0fms %7.0fms %7.0fms | %6.2f %6.2f | %7.2fs %7.2fs %6.2f\n", name.c_str(),
                    readTime * 1e3, contextTime * 1e3, ocrTime * 1e3, rulesTime * 1e3, encodeTime * 1e3,
                    double(figures.found) / double(figures.lines),
                    figures.sized ? double(figures.sizedWithinOnePoint) / double(figures.sized) : 0.0, scanTime,
                    tesseractTime, scanTime / tesseractTime);
    }
    std::printf(
        "all examples: recall %.3f (%zu of %zu lines), font size within 1 pt for %.3f of %zu lines read exactly, "
        "scan %.2fs against tesseract %.2fs (ratio %.2f)\n",
        double(total.found) / double(total.lines), total.found, total.lines,
        total.sized ? double(total.sizedWithinOnePoint) / double(total.sized) : 0.0, total.sized, totalScan,
        totalTesseract, totalScan / totalTesseract);
    std::printf("agreement with the reviewers' expected verdicts:");
    for (const auto& [rule, counts] : agreement) std::printf(" %s %d/%d", rule.c_str(), counts.first, counts.second);
    std::printf("\n");
    return 0;
}
