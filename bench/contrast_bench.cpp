// Colour contrast against known colours: scans every page of the contrast
// study (study/contrast/, rendered by scripts/generate_contrast_study.py with
// the CSS colours of each sample in contrast-truth.json) with only the
// ColorContrast rule, and prints per category: samples, found (a result at
// all), agreement of the verdict with the reviewer's, the same over samples
// whose verdict does not hinge on the text's size (ratio outside 3.0-4.5),
// false FAILs (truth PASS, verdict FAIL), missed FAILs below 3.0:1, and the
// median and the largest absolute error of the measured ratio (the deciding
// pair) against the CSS ratio on flat backgrounds: one table for each
// rendering (the clean 3x pages, and those rendered again at 2x or 1x through
// JPEG, named PAGE-2x-jpeg). Then, for the study pages and the examples, the
// time the contrast analysis takes per screen (median of 5).
// With -v every sample that disagrees is listed; with --ocr neural the text
// is read in the lines the text detector finds.
//
//   build/bench/bench_contrast [-v] [--ocr neural|tesseract]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "audkit/base/zk_log.hpp"
#include "audkit/facade/aud.hpp"
#include "audkit/facade/capture_context.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/line_detector.hpp"
#include "audkit/platform/tesseract_recognizer.hpp"
#include "audkit/rules/rule_catalogue.hpp"
#include "audkit/rules/rule_color_contrast.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/vision/vision_helper.hpp"
#include "bench/one_recognition_thread.hpp"

namespace {

using namespace audkit;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Tally {
    int samples = 0, found = 0, agree = 0, steady = 0, steadyAgree = 0, falseFails = 0, missedFails = 0;
    std::vector<double> errors;
};

std::shared_ptr<AudConf> contrastOnly() {
    auto conf = std::make_shared<AudConf>();
    for (const auto id : allCases<AudRuleId>())
        if (id != AudRuleId::colorContrast) conf->ignore(std::string(toString(id)), true);
    return conf;
}

// Milliseconds the rule takes over the screen's texts: each view with text
// (and each control) gets its found texts as the runner attaches them, then the rule's
// collection and verdict are timed (median of 5).
double analysisTime(const AudContext& context, const std::vector<FoundText>& foundTexts) {
    std::vector<std::pair<const AudView*, std::vector<FoundText>>> jobs;
    const FoundTextsByRow rows(foundTexts);
    context.audView->runOnSelfAndDescendants([&](const AudView& view) {
        if (!view.isVisibleToUser) return RunStatus::proceed;
        if (const auto text = view.text())
            jobs.emplace_back(&view, VisionHelper::selectFoundTexts(*text, view.boundsInScreen, rows));
        else if (view.get(viewkey::isActiveControl).value_or(false))
            jobs.emplace_back(&view, VisionHelper::foundTextsInside(view.boundsInScreen, rows));
        return RunStatus::proceed;
    });
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        RuleColorContrast rule(catalogueConf(AudRuleId::colorContrast));
        const auto start = Clock::now();
        for (const auto& [view, texts] : jobs) {
            const auto props = rule.collectVisionProps(*view, texts, {});
            try {
                (void)rule.runRule(*props);
            } catch (const std::exception&) {}
        }
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[2];
}

struct Scan {
    std::map<std::string, std::shared_ptr<AudRuleResult>> byIdentifier;
    double analysisMs = 0;
};

Scan scan(const fs::path& bundle, std::shared_ptr<TextRecognizer> recognizer) {
    BundlePlatform platform(CaptureBundle::open(bundle));
    const auto conf = contrastOnly();
    const auto context = captureContext(platform, *platform.elementUnderTest(), *conf);
    if (!recognizer) recognizer = platform.textRecognizer();
    Aud aud(conf, recognizer.get());
    Scan scanned;
    scanned.analysisMs = analysisTime(*context, aud.recognizeText(*context));
    std::map<std::string, std::string> identifiers;
    context->audView->runOnSelfAndDescendants([&](const AudView& view) {
        if (view.accessibilityIdentifier) identifiers[view.audViewId] = *view.accessibilityIdentifier;
        return RunStatus::proceed;
    });
    const auto result = aud.run(context);
    for (const auto& ruleResult : result->audRuleResults)
        if (const auto found = identifiers.find(ruleResult->audViewId); found != identifiers.end())
            scanned.byIdentifier[found->second] = ruleResult;
    return scanned;
}

double median(std::vector<double> values) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double largest(const std::vector<double>& values) {
    return values.empty() ? NAN : *std::max_element(values.begin(), values.end());
}

// "3x" for a clean page, "2x jpeg" for PAGE-2x-jpeg.
std::string renderingOf(const std::string& page) {
    for (const std::string scale : {"1x", "2x"})
        if (page.ends_with("-" + scale + "-jpeg")) return scale + " jpeg";
    return "3x";
}

void printRow(const std::string& name, const Tally& tally) {
    std::printf("%-20s %7d %6d %8.1f%% %5d/%-3d %5.1f%% %11d %12d %10.2f %10.2f\n", name.c_str(), tally.samples,
                tally.found, 100.0 * tally.agree / tally.samples, tally.steadyAgree, tally.steady,
                tally.steady ? 100.0 * tally.steadyAgree / tally.steady : 0.0, tally.falseFails, tally.missedFails,
                median(tally.errors), largest(tally.errors));
}

void addTo(Tally& all, const Tally& tally) {
    all.samples += tally.samples;
    all.found += tally.found;
    all.agree += tally.agree;
    all.steady += tally.steady;
    all.steadyAgree += tally.steadyAgree;
    all.falseFails += tally.falseFails;
    all.missedFails += tally.missedFails;
    all.errors.insert(all.errors.end(), tally.errors.begin(), tally.errors.end());
}

}  // namespace

int main(int argc, char** argv) {
    oneRecognitionThread(argv);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const bool verbose = std::find(arguments.begin(), arguments.end(), "-v") != arguments.end();
    std::shared_ptr<TextRecognizer> recognizer;
    if (const auto ocr = std::find(arguments.begin(), arguments.end(), "--ocr");
        ocr != arguments.end() && ocr + 1 != arguments.end()) {
        TesseractRecognizer::Options options;
        options.lines = lineDetectorFor(*(ocr + 1));
        LineDetector::useThreads(1);
        recognizer = std::make_shared<TesseractRecognizer>("eng", options);
    }
    ZKLog::setSink(nullptr);
    const fs::path root = AUDKIT_SOURCE_DIR;
    std::map<std::string, std::map<std::string, Tally>> tallies;  // by rendering, then category
    std::vector<std::pair<std::string, double>> times;
    std::vector<fs::path> pages;
    for (const auto& entry : fs::directory_iterator(root / "study" / "contrast")) pages.push_back(entry.path());
    std::sort(pages.begin(), pages.end());
    for (const auto& page : pages) {
        const auto scanned = scan(page, recognizer);
        times.emplace_back("study/" + page.filename().string(), scanned.analysisMs);
        std::ifstream file(page / "contrast-truth.json");
        const auto truth = nlohmann::json::parse(file);
        for (const auto& sample : truth["samples"]) {
            auto& tally = tallies[renderingOf(page.filename().string())][sample["category"].get<std::string>()];
            const auto expected = sample["expected"].get<std::string>();
            const auto found = scanned.byIdentifier.find(sample["element"].get<std::string>());
            const std::string status =
                found == scanned.byIdentifier.end() ? "NONE" : std::string(toString(found->second->status));
            const bool hinges = sample["hingesOnSize"].get<bool>();
            ++tally.samples;
            tally.found += status != "NONE";
            tally.agree += status == expected;
            if (!hinges) {
                ++tally.steady;
                tally.steadyAgree += status == expected;
            }
            tally.falseFails += expected == "PASS" && status == "FAIL";
            const bool clearFail = !sample["ratio"].is_null() && sample["ratio"].get<double>() < 3.0;
            tally.missedFails += clearFail && status != "FAIL";
            std::string measured = "-";
            if (found != scanned.byIdentifier.end()) {
                if (const auto pair = found->second->props->get(RuleColorContrast::decidingPairKey)) {
                    measured = describePropValue(*pair);
                    if (!sample["ratio"].is_null())
                        tally.errors.push_back(std::abs(pair->contrast() - sample["ratio"].get<double>()));
                }
            }
            if (verbose && status != expected) {
                std::printf("  %-12s %s %-20s css %s/%s %5s  %2dpt%s  expected %-10s got %-10s measured %s\n",
                            page.filename().c_str(), sample["element"].get<std::string>().c_str(),
                            sample["text"].get<std::string>().c_str(), sample["foreground"].get<std::string>().c_str(),
                            sample["background"].is_null() ? "-" : sample["background"].get<std::string>().c_str(),
                            sample["ratio"].is_null() ? "-" : sample["ratio"].dump().c_str(),
                            sample["fontSize"].get<int>(), sample["bold"].get<bool>() ? " bold" : "", expected.c_str(),
                            status.c_str(), measured.c_str());
            }
        }
    }
    for (const auto& entry : fs::directory_iterator(root / "examples")) {
        if (!fs::exists(entry.path() / "capture.json")) continue;
        times.emplace_back("examples/" + entry.path().filename().string(), scan(entry.path(), recognizer).analysisMs);
    }

    Tally everything;
    for (const auto& [rendering, categories] : tallies) {
        std::printf("\n%s\n%-20s %7s %6s %9s %13s %11s %12s %10s %10s\n", rendering.c_str(), "category", "samples",
                    "found", "agreement", "size-steady", "false FAIL", "missed FAIL", "ratio MAE", "largest");
        Tally all;
        for (const auto& [category, tally] : categories) {
            printRow(category, tally);
            addTo(all, tally);
        }
        printRow("all", all);
        addTo(everything, all);
    }
    std::printf("\n");
    printRow("every rendering", everything);
    std::printf("\ncontrast analysis per screen (median of 5 runs):\n");
    for (const auto& [name, ms] : times) std::printf("  %-28s %7.2f ms\n", name.c_str(), ms);
    return 0;
}
