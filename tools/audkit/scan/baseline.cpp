#include "tools/audkit/scan/baseline.hpp"

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "audkit/base/strict_json.hpp"
#include "tools/audkit/commands/input_file.hpp"
#include "tools/audkit/scan/scan_support.hpp"

namespace audkit::cli {

std::string Baseline::screenKey(const std::string& bundle) {
    auto path = std::filesystem::path(bundle).lexically_normal();
    if (path.filename().empty()) path = path.parent_path();
    if (path.filename() == "capture.json") path = path.parent_path();
    return path.filename().string();
}

std::string Baseline::elementKey(const Finding& finding, float scale) {
    if (!finding.view) return "unknown view";
    if (finding.view->accessibilityIdentifier) return "id " + *finding.view->accessibilityIdentifier;
    const auto& bounds = finding.view->boundsInScreen;
    const auto point = [scale](float pixels) { return std::to_string(std::lround(pixels / scale)); };
    return finding.view->className + " \"" + finding.view->name.value_or("") + "\" at " + point(bounds.left()) + "," +
           point(bounds.top()) + " " + point(bounds.width()) + "x" + point(bounds.height());
}

void Baseline::record(const ScreenReport& screen) {
    const float scale = screen.result->audContext->audDevice.scale;
    for (const auto& finding : screen.findings)
        keys_.emplace(screenKey(screen.name), finding.result->ruleId, elementKey(finding, scale));
}

void Baseline::mark(ScreenReport& screen) const {
    const float scale = screen.result->audContext->audDevice.scale;
    screen.baselined = true;
    for (auto& finding : screen.findings)
        finding.known = contains({screenKey(screen.name), finding.result->ruleId, elementKey(finding, scale)});
}

std::string Baseline::document() const {
    nlohmann::ordered_json findings = nlohmann::ordered_json::array();
    for (const auto& [screen, rule, element] : keys_)
        findings.push_back({{"screen", screen}, {"rule", rule}, {"element", element}});
    return nlohmann::ordered_json{{"format", "audkit-baseline"}, {"version", 1}, {"findings", findings}}.dump(2) + "\n";
}

// A baseline holds a line per finding: far less than this.
constexpr std::uintmax_t maxBaselineBytes = 64ULL * 1024 * 1024;

Baseline Baseline::read(const std::string& path) {
    const auto text = readInputFile(path, maxBaselineBytes, "baseline");
    nlohmann::json document;
    std::optional<std::string> repeated;
    try {
        repeated = parseNotingRepeats(text, document);
    } catch (const nlohmann::json::exception& error) {
        throw UsageError(path + ": not a JSON document: " + error.what());
    }
    if (repeated) throw UsageError(path + ": the key \"" + *repeated + "\" appears twice in one object");
    if (!document.is_object() || document.value("format", nlohmann::json()) != "audkit-baseline" ||
        document.value("version", nlohmann::json()) != 1)
        throw UsageError(path + ": not an audkit baseline (\"format\": \"audkit-baseline\", \"version\": 1)");
    const auto findings = document.find("findings");
    if (findings == document.end() || !findings->is_array())
        throw UsageError(path + ": member \"findings\" must be an array");
    Baseline baseline;
    for (std::size_t i = 0; i < findings->size(); ++i) {
        const auto& entry = (*findings)[i];
        for (const char* member : {"screen", "rule", "element"})
            if (!entry.is_object() || !entry.contains(member) || !entry[member].is_string())
                throw UsageError(path + ": findings[" + std::to_string(i) + "] needs the text member \"" + member +
                                 "\"");
        baseline.keys_.emplace(entry["screen"], entry["rule"], entry["element"]);
    }
    return baseline;
}

}  // namespace audkit::cli
