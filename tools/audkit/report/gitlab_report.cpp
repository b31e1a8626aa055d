#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "audkit/tree/aud_context.hpp"
#include "tools/audkit/report/reports.hpp"

namespace audkit::cli {
namespace {

// GitLab's severities: blocker, critical, major, minor, info.
std::string severityOf(const AudRuleResult& result) {
    if (result.status != AudStatus::fail) return "info";
    switch (result.impact) {
        case AudImpact::critical: return "critical";
        case AudImpact::serious: return "major";
        case AudImpact::moderate: return "minor";
        default: return "info";
    }
}

// GitLab compares findings between pipelines by a fingerprint of at most a
// few dozen characters: the 64-bit FNV-1a hash of the finding's durable text,
// in hex, the same on every machine.
std::string hashed(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const unsigned char c : text) hash = (hash ^ c) * 1099511628211ULL;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

}  // namespace

void GitlabReport::add(const ScreenReport& screen) {
    const auto& result = *screen.result;
    const float scale = result.audContext ? result.audContext->audDevice.scale : 1.0F;
    const auto path = Finding::capturePath(screen.name);
    for (const auto& finding : screen.findings) {
        const auto& ruleResult = *finding.result;
        const nlohmann::ordered_json issue{
            {"description",
             std::string(toString(ruleResult.status)) + " " + ruleResult.ruleId + ": " + finding.message(scale)},
            {"check_name", ruleResult.ruleId},
            {"fingerprint", hashed(finding.fingerprint(screen.name))},
            {"severity", severityOf(ruleResult)},
            {"location", {{"path", path}, {"lines", {{"begin", finding.dumpLine(screen.name).value_or(1)}}}}}};
        issues_.push_back(issue.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
    }
}

std::string GitlabReport::document() const {
    std::string document = "[";
    for (std::size_t at = 0; at < issues_.size(); ++at) document += (at ? ",\n  " : "\n  ") + issues_[at];
    return document + (issues_.empty() ? "]\n" : "\n]\n");
}

}  // namespace audkit::cli
