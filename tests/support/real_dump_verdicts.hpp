#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tools/audkit/commands/commands.hpp"

// Compares the scan of an imported real dump with a reviewer's verdicts on it
// (tests/fixtures/real-screens/<folder>/<dump>.json): elements by their line
// in the dump, which the capture records as each view's "source". Shared by
// the real-dump test and bench_real.
namespace audkit::realdumps {

namespace fs = std::filesystem;

// What the reviewer decided of one (element, rule).
enum class Verdict { file, worthALook, notAFinding, unreviewed };

struct Finding {
    std::string dump;
    int line = 0;
    std::string rule;
    std::string status;  // what the scan recorded: FAIL, INCOMPLETE, or NONE
    Verdict verdict = Verdict::unreviewed;
    std::string why;
};

struct Comparison {
    std::vector<Finding> fails;        // every FAIL of the scan, with the reviewer's verdict
    std::vector<Finding> incompletes;  // every INCOMPLETE, likewise
    std::vector<Finding> missed;       // findings the reviewer files that the scan did not FAIL
};

inline Verdict verdictOf(const std::string& text) {
    if (text == "FAIL") return Verdict::file;
    if (text == "worth a look") return Verdict::worthALook;
    return Verdict::notAFinding;
}

inline int lineOf(const nlohmann::json& view) {
    const auto source = view.value("source", std::string());
    return source.starts_with("line ") ? std::stoi(source.substr(5)) : 0;
}

inline void compare(const std::string& dump, const nlohmann::json& result, const nlohmann::json& truth,
                    Comparison& into) {
    std::map<std::pair<int, std::string>, const nlohmann::json*> verdicts;
    for (const auto& entry : truth.at("verdicts"))
        verdicts[{entry.at("line").get<int>(), entry.at("rule").get<std::string>()}] = &entry;
    std::map<std::string, int> lineOfView;
    std::vector<const nlohmann::json*> stack{&result.at("audContext").at("audView")};
    while (!stack.empty()) {
        const auto* view = stack.back();
        stack.pop_back();
        lineOfView[view->at("audViewId").get<std::string>()] = lineOf(*view);
        for (const auto& child : view->at("children")) stack.push_back(&child);
    }
    std::map<std::pair<int, std::string>, std::string> statusOf;
    for (const auto& ruleResult : result.at("audRuleResults")) {
        const auto status = ruleResult.at("status").get<std::string>();
        const auto view = lineOfView.find(ruleResult.value("audViewId", std::string()));
        const int line = view == lineOfView.end() ? 0 : view->second;
        Finding finding{dump, line, ruleResult.at("ruleId").get<std::string>(), status, Verdict::unreviewed, {}};
        statusOf[{line, finding.rule}] = status;
        if (const auto found = verdicts.find({line, finding.rule}); found != verdicts.end()) {
            finding.verdict = verdictOf(found->second->at("verdict").get<std::string>());
            finding.why = found->second->value("why", std::string());
        }
        if (status == "FAIL") into.fails.push_back(finding);
        if (status == "INCOMPLETE") into.incompletes.push_back(finding);
    }
    for (const auto& [key, entry] : verdicts) {
        if (verdictOf(entry->at("verdict").get<std::string>()) != Verdict::file) continue;
        const auto status = statusOf.find(key);
        if (status != statusOf.end() && status->second == "FAIL") continue;
        into.missed.push_back({dump, key.first, key.second, status == statusOf.end() ? "NONE" : status->second,
                               Verdict::file, entry->value("why", std::string())});
    }
}

// The reviewed dumps: each verdict file with the dump it judges (relative to
// the folder of real screens) and the dump's screenshot, when there is one.
struct ReviewedDump {
    fs::path truth, dump, screenshot;
};

inline std::vector<ReviewedDump> reviewedDumps(const fs::path& truths, const fs::path& realScreens) {
    std::vector<ReviewedDump> found;
    for (const auto& entry : fs::recursive_directory_iterator(truths)) {
        if (entry.path().extension() != ".json") continue;
        const auto truth = nlohmann::json::parse(std::ifstream(entry.path()));
        ReviewedDump reviewed{entry.path(), realScreens / truth.at("dump").get<std::string>(), {}};
        auto screenshot = reviewed.dump;
        screenshot.replace_extension(".png");
        if (fs::exists(screenshot)) reviewed.screenshot = screenshot;
        found.push_back(std::move(reviewed));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.dump < b.dump; });
    return found;
}

// Imports the dump into `bundle` and scans it as `audkit scan --format json`
// does; none, with the reason in `error`, when either step fails. A scan
// that examined nothing (a screen of system UI alone) is an empty result.
inline std::optional<nlohmann::json> importAndScan(const ReviewedDump& reviewed, const fs::path& bundle,
                                                   std::string& error) {
    std::ostringstream out, err;
    fs::remove_all(bundle);
    if (cli::runImport({reviewed.dump.string(), reviewed.screenshot.string(), bundle.string()}, out, err) != 0) {
        error = err.str();
        return std::nullopt;
    }
    cli::ScanOptions options;
    options.bundles = {bundle.string()};
    options.format = "json";
    std::ostringstream scanned, scanErr;
    const int status = cli::runScan(options, {}, scanned, scanErr);
    if (status == 2 && scanErr.str().find("system elements are not judged") != std::string::npos)
        return nlohmann::json{{"audContext", {{"audView", {{"audViewId", ""}, {"children", nlohmann::json::array()}}}}},
                              {"audRuleResults", nlohmann::json::array()}};
    if (status == 2) {
        error = scanErr.str();
        return std::nullopt;
    }
    return nlohmann::json::parse(scanned.str());
}

}  // namespace audkit::realdumps
