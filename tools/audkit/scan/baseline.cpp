#include "tools/audkit/scan/baseline.hpp"

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>
#include <regex>

#include "audkit/base/strict_json.hpp"
#include "tools/audkit/commands/input_file.hpp"
#include "tools/audkit/scan/scan_support.hpp"

namespace audkit::cli {
namespace {

// How far a frame's edges may move, in points, and still be the same element's.
constexpr double frameTolerance = 6;

// A version 1 element key: "id IDENTIFIER", or CLASS "LABEL" at X,Y WxH in whole points.
ElementIdentity fromVersionOne(const std::string& key) {
    ElementIdentity element;
    if (key.rfind("id ", 0) == 0) {
        element.identifier = key.substr(3);
        return element;
    }
    static const std::regex pattern(R"re(^(.*) "(.*)" at (-?\d+),(-?\d+) (\d+)x(\d+)$)re");
    std::smatch parts;
    // libstdc++'s matcher recurses per character: a key longer than any
    // element's is taken as it is.
    constexpr std::size_t longestKey = 4096;
    if (key.size() > longestKey || !std::regex_match(key, parts, pattern)) {
        element.className = key;  // "unknown view": matches nothing
        element.path = key;
        return element;
    }
    element.className = parts[1];
    element.label = parts[2];
    element.x = std::stod(parts[3]);
    element.y = std::stod(parts[4]);
    element.width = std::stod(parts[5]);
    element.height = std::stod(parts[6]);
    return element;
}

nlohmann::ordered_json elementDocument(const ElementIdentity& element) {
    if (!element.identifier.empty()) return {{"identifier", element.identifier}};
    return {{"className", element.className},
            {"label", element.label},
            {"path", element.path},
            {"frame", {{"x", element.x}, {"y", element.y}, {"width", element.width}, {"height", element.height}}}};
}

// Throws UsageError naming the entry and the member that is wrong.
ElementIdentity elementFrom(const nlohmann::json& element, const std::string& where) {
    if (!element.is_object()) throw UsageError(where + " must be an object or a text");
    ElementIdentity identity;
    const auto text = [&](const char* member) {
        const auto found = element.find(member);
        if (found == element.end() || !found->is_string())
            throw UsageError(where + " needs the text member \"" + member + "\"");
        return found->get<std::string>();
    };
    if (element.contains("identifier")) {
        identity.identifier = text("identifier");
        return identity;
    }
    identity.className = text("className");
    identity.label = text("label");
    identity.path = text("path");
    const auto frame = element.find("frame");
    if (frame == element.end() || !frame->is_object()) throw UsageError(where + " needs the object member \"frame\"");
    for (const auto& [member, value] : {std::pair{"x", &identity.x}, std::pair{"y", &identity.y},
                                        std::pair{"width", &identity.width}, std::pair{"height", &identity.height}}) {
        const auto number = frame->find(member);
        if (number == frame->end() || !number->is_number())
            throw UsageError(where + ".frame needs the number member \"" + member + "\"");
        *value = number->get<double>();
    }
    return identity;
}

}  // namespace

ElementIdentity ElementIdentity::of(const Finding& finding, float scale) {
    ElementIdentity identity;
    if (!finding.view) {
        identity.className = identity.path = "unknown view";
        return identity;
    }
    const auto& view = *finding.view;
    if (view.accessibilityIdentifier && !view.accessibilityIdentifier->empty()) {
        identity.identifier = *view.accessibilityIdentifier;
        return identity;
    }
    identity.className = view.className;
    identity.label = view.name.value_or("");
    identity.path = finding.treePath();
    const auto frame = finding.frameInPoints(scale);
    // Whole points: the file reads the same for sub-pixel differences.
    identity.x = std::round(frame.x);
    identity.y = std::round(frame.y);
    identity.width = std::round(frame.width);
    identity.height = std::round(frame.height);
    return identity;
}

bool ElementIdentity::sameElement(const ElementIdentity& other) const {
    if (!identifier.empty() || !other.identifier.empty()) return identifier == other.identifier;
    if (className != other.className || label != other.label) return false;
    if (!path.empty() && path == other.path) return true;
    return std::fabs(x - other.x) <= frameTolerance && std::fabs(y - other.y) <= frameTolerance &&
           std::fabs(width - other.width) <= frameTolerance && std::fabs(height - other.height) <= frameTolerance;
}

std::string ElementIdentity::description() const {
    if (!identifier.empty()) return "id " + identifier;
    const auto number = [](double value) { return std::to_string(std::lround(value)); };
    return className + " \"" + label + "\" at " + number(x) + ", " + number(y) + ", " + number(width) + " x " +
           number(height) + " pt";
}

void reportStale(const Baseline& baseline, const std::string& path, std::ostream& err) {
    const auto stale = baseline.stale();
    if (stale.empty()) return;
    err << "audkit: " << path << ": " << stale.size() << (stale.size() == 1 ? " entry matches" : " entries match")
        << " no finding of the screens scanned any more (fixed, or the element is gone); take "
        << (stale.size() == 1 ? "it" : "them") << " out of the baseline:\n";
    for (const auto& entry : stale)
        err << "  " << entry.screen << " " << entry.rule << " " << entry.element.description() << '\n';
}

std::string Baseline::screenKey(const std::string& bundle) {
    auto path = std::filesystem::path(bundle).lexically_normal();
    if (path.filename().empty()) path = path.parent_path();
    if (path.filename() == "capture.json") path = path.parent_path();
    return path.filename().string();
}

void Baseline::record(const ScreenReport& screen) {
    const float scale = screen.result->audContext->audDevice.scale;
    const auto key = screenKey(screen.name);
    for (const auto& finding : screen.findings)
        if (!entryFor(key, finding, scale)) add({key, finding.result->ruleId, ElementIdentity::of(finding, scale), {}});
}

void Baseline::add(Entry entry) {
    byScreenAndRule_[{entry.screen, entry.rule}].push_back(entries_.size());
    entries_.push_back(std::move(entry));
}

std::optional<std::size_t> Baseline::entryFor(const std::string& screen, const Finding& finding, float scale) const {
    const auto candidates = byScreenAndRule_.find({screen, finding.result->ruleId});
    if (candidates == byScreenAndRule_.end()) return std::nullopt;
    const auto element = ElementIdentity::of(finding, scale);
    for (const auto at : candidates->second)
        if (entries_[at].element.sameElement(element)) return at;
    return std::nullopt;
}

void Baseline::mark(ScreenReport& screen) const {
    const float scale = screen.result->audContext->audDevice.scale;
    const auto key = screenKey(screen.name);
    screen.baselined = true;
    for (auto& finding : screen.findings) {
        const auto entry = entryFor(key, finding, scale);
        finding.known = entry.has_value();
        finding.knownBecause = entry ? entries_[*entry].reason : "";
    }
}

void Baseline::noteScanned(const ScreenReport& screen) {
    const float scale = screen.result->audContext->audDevice.scale;
    const auto key = screenKey(screen.name);
    scannedScreens_.insert(key);
    for (const auto& finding : screen.findings)
        if (const auto entry = entryFor(key, finding, scale)) matched_.insert(*entry);
}

std::vector<Baseline::Entry> Baseline::stale() const {
    std::vector<Entry> gone;
    for (std::size_t at = 0; at < entries_.size(); ++at)
        if (scannedScreens_.contains(entries_[at].screen) && !matched_.contains(at)) gone.push_back(entries_[at]);
    return gone;
}

std::string Baseline::document() const {
    nlohmann::ordered_json findings = nlohmann::ordered_json::array();
    for (const auto& entry : entries_) {
        nlohmann::ordered_json line{
            {"screen", entry.screen}, {"rule", entry.rule}, {"element", elementDocument(entry.element)}};
        if (!entry.reason.empty()) line["reason"] = entry.reason;
        findings.push_back(std::move(line));
    }
    return nlohmann::ordered_json{{"format", "audkit-baseline"}, {"version", 2}, {"findings", findings}}.dump(2) + "\n";
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
    const auto version = document.is_object() ? document.value("version", nlohmann::json()) : nlohmann::json();
    if (!document.is_object() || document.value("format", nlohmann::json()) != "audkit-baseline" ||
        (version != 1 && version != 2))
        throw UsageError(path + ": not an audkit baseline (\"format\": \"audkit-baseline\", \"version\": 2)");
    const auto findings = document.find("findings");
    if (findings == document.end() || !findings->is_array())
        throw UsageError(path + ": member \"findings\" must be an array");
    Baseline baseline;
    for (std::size_t i = 0; i < findings->size(); ++i) {
        const auto& entry = (*findings)[i];
        const auto where = path + ": findings[" + std::to_string(i) + "]";
        for (const char* member : {"screen", "rule"})
            if (!entry.is_object() || !entry.contains(member) || !entry[member].is_string())
                throw UsageError(where + " needs the text member \"" + member + "\"");
        if (!entry.contains("element")) throw UsageError(where + " needs the member \"element\"");
        const auto& element = entry["element"];
        const auto reason = entry.find("reason");
        if (reason != entry.end() && !reason->is_string()) throw UsageError(where + ": \"reason\" must be a text");
        baseline.add({entry["screen"], entry["rule"],
                      element.is_string() ? fromVersionOne(element.get<std::string>())
                                          : elementFrom(element, where + ".element"),
                      reason != entry.end() ? reason->get<std::string>() : ""});
    }
    return baseline;
}

}  // namespace audkit::cli
