#include "tools/audkit/scan/scan_support.hpp"

#include "tools/audkit/scan/baseline.hpp"
#include "tools/audkit/scan/scan_config.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>

namespace audkit::cli {
namespace {

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = std::min(text.find(separator, start), text.size());
        if (end > start) pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

void requireKnownRule(const AudConf& conf, const std::string& id) {
    if (!conf.rules.contains(id)) throw UsageError("unknown rule id \"" + id + "\" (see the rule ids in the result)");
}

// Merges the configuration file's judging controls into the options; the
// file's other controls are the caller's to take.
ScanConfig mergeJudging(JudgingOptions& options) {
    auto config = readScanConfig(options.config);
    options.ignore.insert(options.ignore.end(), config.ignore.begin(), config.ignore.end());
    options.impacts = config.impacts;
    options.includeSystem = options.includeSystem || config.includeSystem;
    options.viewIgnores = std::make_shared<const std::vector<ViewIgnore>>(std::move(config.ignoreViews));
    return config;
}

}  // namespace

std::shared_ptr<AudConf> configuration(const JudgingOptions& options, const std::string& screen) {
    auto conf = std::make_shared<AudConf>();
    if (options.dynamicType) conf->setOptInToSupportsDynamicType(true);
    conf->judgesSystemElements = options.includeSystem;
    for (const auto& id : options.ignore) requireKnownRule(*conf, id);
    if (!options.ignore.empty()) conf->ignore(options.ignore, true);
    std::map<std::string, std::set<std::string>> views;
    for (const auto& entry : options.ignoreViews) {
        const auto equals = entry.find('=');
        if (equals == std::string::npos || equals == 0 || equals + 1 == entry.size())
            throw UsageError("--ignore-view needs KEY=RULE_ID[,RULE_ID...], got \"" + entry + "\"");
        for (const auto& id : split(entry.substr(equals + 1), ',')) {
            requireKnownRule(*conf, id);
            views[entry.substr(0, equals)].insert(id);
        }
    }
    if (!views.empty()) conf->ignoreRulesFor(views);
    for (const auto& [id, impact] : options.impacts) conf->rules.at(id)->impact = impact;
    if (options.viewIgnores) {
        const auto key = Baseline::screenKey(screen);
        for (const auto& ignore : *options.viewIgnores)
            if (!ignore.screen || *ignore.screen == key) conf->ignoredRulesForViews.push_back(ignore.ignore);
    }
    return conf;
}

ScanOptions withConfiguration(const ScanOptions& options) {
    if (options.config.empty()) return options;
    auto merged = options;
    const auto config = mergeJudging(merged);
    if (merged.failOn.empty() && config.failOn) merged.failOn = *config.failOn;
    merged.failOnExperimental = merged.failOnExperimental || config.failOnExperimental;
    return merged;
}

BaselineOptions withConfiguration(const BaselineOptions& options) {
    if (options.config.empty()) return options;
    auto merged = options;
    mergeJudging(merged);
    return merged;
}

AudImpact failureGate(const std::string& level) {
    if (level.empty()) return AudImpact::minor;
    for (const auto impact : allCases<AudImpact>()) {
        auto name = std::string(toString(impact));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        if (name == level) return impact;
    }
    throw UsageError("--fail-on needs minor, moderate, serious or critical, got \"" + level + "\"");
}

std::vector<std::string> bundlesToScan(const std::vector<std::string>& paths) {
    namespace fs = std::filesystem;
    std::vector<std::string> bundles;
    for (const auto& path : paths) {
        std::error_code error;
        if (!fs::is_directory(path, error) || fs::exists(fs::path(path) / "capture.json", error)) {
            bundles.push_back(path);
            continue;
        }
        std::vector<std::string> inside;
        for (const auto& entry : fs::directory_iterator(path, error))
            if (entry.is_directory(error) && fs::exists(entry.path() / "capture.json", error))
                inside.push_back(entry.path().string());
        std::sort(inside.begin(), inside.end());
        if (inside.empty()) inside.push_back(path);
        bundles.insert(bundles.end(), inside.begin(), inside.end());
    }
    return bundles;
}

}  // namespace audkit::cli
