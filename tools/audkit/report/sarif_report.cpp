#include <cctype>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>

#include "audkit/rules/rule_catalogue.hpp"
#include "audkit/tree/aud_context.hpp"
#include "tools/audkit/report/reports.hpp"
#include "tools/audkit/report/rule_pages.hpp"

namespace audkit::cli {
namespace {

// A failure's level from its impact; a finding that needs a person's review
// (INCOMPLETE) has none, as SARIF asks of results that are no failures.
std::string levelOf(AudImpact impact) {
    switch (impact) {
        case AudImpact::critical:
        case AudImpact::serious: return "error";
        case AudImpact::moderate: return "warning";
        default: return "note";
    }
}

// A path as a URI reference: relative ones stay relative (to where the scan
// ran), absolute ones become file URIs; anything but unreserved characters
// and separators is percent-encoded.
std::string uriOf(const std::string& path) {
    const auto generic = std::filesystem::path(path).lexically_normal().generic_string();
    std::string uri = generic.starts_with('/') ? "file://" : "";
    static const char* hex = "0123456789ABCDEF";
    for (const unsigned char c : generic) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

nlohmann::ordered_json ruleDescriptor(const RuleInfo& info) {
    const std::string id(toString(info.id)), summary(info.summary);
    const auto standard = standardText(info);
    nlohmann::ordered_json help{{"text", summary + " (" + standard + "; audkit explain " + id + ")"}};
    if (const auto page = rulePage(id)) help["markdown"] = std::string(*page);
    return {{"id", id},
            {"shortDescription", {{"text", summary}}},
            {"helpUri", rulePageAddress(id)},
            {"help", help},
            {"defaultConfiguration", {{"level", levelOf(info.impact)}}},
            {"properties",
             {{"impact", toString(info.impact)},
              {"standard", standard},
              {"experimental", info.experimental},
              {"tags", {"accessibility"}}}}};
}

// The catalogue's rules, in its order, and each one's place in it.
const nlohmann::ordered_json& ruleDescriptors() {
    static const auto rules = [] {
        auto all = nlohmann::ordered_json::array();
        for (const auto& rule : ruleCatalogue()) all.push_back(ruleDescriptor(*rule.info));
        return all;
    }();
    return rules;
}

std::optional<std::size_t> ruleIndex(const std::string& id) {
    const auto& rules = ruleDescriptors();
    for (std::size_t at = 0; at < rules.size(); ++at)
        if (rules[at]["id"] == id) return at;
    return std::nullopt;
}

}  // namespace

void SarifReport::add(const ScreenReport& screen) {
    const auto& result = *screen.result;
    const float scale = result.audContext ? result.audContext->audDevice.scale : 1.0F;
    // A dump scanned directly is the artifact, and its line the region; a
    // bundle's capture is, with the dump's line (if imported) as a property.
    const auto artifact = uriOf(Finding::capturePath(screen.name));
    for (const auto& finding : screen.findings) {
        const auto& ruleResult = *finding.result;
        const auto frame = finding.frameInPoints(scale);
        nlohmann::ordered_json physical{{"artifactLocation", {{"uri", artifact}}}};
        const auto source = finding.view ? finding.view->get(viewkey::source) : std::nullopt;
        if (const auto line = finding.dumpLine(screen.name)) physical["region"] = {{"startLine", *line}};
        nlohmann::ordered_json location{
            {"physicalLocation", physical},
            {"logicalLocations",
             {{{"name", finding.element()}, {"fullyQualifiedName", finding.treePath()}, {"kind", "element"}}}}};
        const bool fails = ruleResult.status == AudStatus::fail;
        nlohmann::ordered_json entry{{"ruleId", ruleResult.ruleId},
                                     {"kind", fails ? "fail" : "review"},
                                     {"level", fails ? levelOf(ruleResult.impact) : "none"},
                                     {"message", {{"text", finding.message(scale)}}},
                                     {"locations", {location}}};
        if (const auto index = ruleIndex(ruleResult.ruleId)) entry["ruleIndex"] = *index;
        // The same element and rule in the next scan has the same fingerprint.
        entry["partialFingerprints"] = {{"audkitElement/v1", finding.fingerprint(screen.name)}};
        if (screen.baselined) entry["baselineState"] = finding.known ? "unchanged" : "new";
        nlohmann::ordered_json properties{
            {"screen", screen.name},
            {"status", toString(ruleResult.status)},
            {"impact", toString(ruleResult.impact)},
            {"frame", {{"x", frame.x}, {"y", frame.y}, {"width", frame.width}, {"height", frame.height}}}};
        if (source) properties["source"] = *source + " of the dump";
        if (finding.known && !finding.knownBecause.empty()) properties["baselineReason"] = finding.knownBecause;
        entry["properties"] = properties;
        results_.push_back(entry.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    }
}

std::string SarifReport::document() const {
    auto results = nlohmann::ordered_json::array();
    for (const auto& result : results_) results.push_back(nlohmann::ordered_json::parse(result));
    const nlohmann::ordered_json log{
        {"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
        {"version", "2.1.0"},
        {"runs",
         {{{"tool", {{"driver", {{"name", "audkit"}, {"version", audVersion()}, {"rules", ruleDescriptors()}}}}},
           {"columnKind", "unicodeCodePoints"},
           {"results", results}}}}};
    return log.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace audkit::cli
