#include "tools/audkit/scan_config.hpp"

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <unordered_map>

#include "audkit/rules/aud_conf.hpp"
#include "tools/audkit/baseline.hpp"
#include "tools/audkit/scan_support.hpp"

namespace audkit::cli {
namespace {

using nlohmann::json;

class ConfigReader {
public:
    explicit ConfigReader(std::string path) : path_(std::move(path)) {}

    [[noreturn]] void fail(const std::string& where, const std::string& what) const {
        throw UsageError(path_ + ": " + (where.empty() ? "" : where + ": ") + what);
    }

    void onlyKeys(const json& object, const std::string& where, const std::set<std::string>& keys) const {
        if (!object.is_object()) fail(where, "must be an object");
        for (const auto& [key, value] : object.items())
            if (!keys.contains(key)) fail(where, "unknown key \"" + key + "\"");
    }

    std::string text(const json& value, const std::string& where) const {
        if (!value.is_string()) fail(where, "must be a text");
        return value.get<std::string>();
    }

    std::string ruleId(const json& value, const std::string& where) const {
        auto id = text(value, where);
        if (!known_.rules.contains(id)) fail(where, "unknown rule id \"" + id + "\"");
        return id;
    }

    std::vector<std::string> ruleIds(const json& value, const std::string& where) const {
        if (!value.is_array()) fail(where, "must be a list of rule ids");
        std::vector<std::string> ids;
        for (std::size_t i = 0; i < value.size(); ++i)
            ids.push_back(ruleId(value[i], where + "[" + std::to_string(i) + "]"));
        return ids;
    }

    AudImpact impact(const json& value, const std::string& where) const {
        try {
            return failureGate(text(value, where));
        } catch (const UsageError&) {
            fail(where, "must be minor, moderate, serious or critical");
        }
    }

private:
    std::string path_;
    const AudConf known_;
};

bool matches(const ViewIgnore& ignore, const AudView& view, const std::string& screen) {
    if (ignore.screen && *ignore.screen != screen) return false;
    if (ignore.className && *ignore.className != view.className) return false;
    if (ignore.identifier && ignore.identifier != view.accessibilityIdentifier) return false;
    if (ignore.label && ignore.label != view.name) return false;
    if (ignore.type && *ignore.type != toString(view.elementType)) return false;
    return true;
}

}  // namespace

ScanConfig readScanConfig(const std::string& path) {
    const ConfigReader reader(path);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw UsageError("cannot read the configuration " + path);
    json document;
    try {
        document = json::parse(std::string(std::istreambuf_iterator<char>(in), {}));
    } catch (const json::exception& error) {
        throw UsageError(path + ": not a JSON document: " + error.what());
    }
    reader.onlyKeys(document, "", {"ignore", "ignoreViews", "failOn", "rules", "includeSystem", "failOnExperimental"});
    ScanConfig config;
    for (const auto& [key, target] : {std::pair{"includeSystem", &config.includeSystem},
                                      std::pair{"failOnExperimental", &config.failOnExperimental}}) {
        if (!document.contains(key)) continue;
        if (!document[key].is_boolean()) reader.fail(key, "must be true or false");
        *target = document[key].get<bool>();
    }
    if (document.contains("ignore")) config.ignore = reader.ruleIds(document["ignore"], "ignore");
    if (document.contains("failOn")) {
        (void)reader.impact(document["failOn"], "failOn");
        config.failOn = document["failOn"].get<std::string>();
    }
    if (document.contains("ignoreViews")) {
        const auto& entries = document["ignoreViews"];
        if (!entries.is_array()) reader.fail("ignoreViews", "must be a list");
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const auto where = "ignoreViews[" + std::to_string(i) + "]";
            const auto& entry = entries[i];
            reader.onlyKeys(entry, where, {"rules", "className", "identifier", "label", "type", "screen"});
            if (!entry.contains("rules")) reader.fail(where, "needs \"rules\"");
            ViewIgnore ignore;
            for (auto& id : reader.ruleIds(entry["rules"], where + ".rules")) ignore.rules.insert(std::move(id));
            const std::pair<const char*, std::optional<std::string>*> criteria[] = {
                {"className", &ignore.className}, {"identifier", &ignore.identifier}, {"label", &ignore.label},
                {"type", &ignore.type},           {"screen", &ignore.screen}};
            for (const auto& [key, target] : criteria)
                if (entry.contains(key)) *target = reader.text(entry[key], where + "." + key);
            if (ignore.type && !enumFromName<AudElementType>(*ignore.type))
                reader.fail(where + ".type", "unknown element type \"" + *ignore.type + "\"");
            config.ignoreViews.push_back(std::move(ignore));
        }
    }
    if (document.contains("rules")) {
        const auto& rules = document["rules"];
        if (!rules.is_object()) reader.fail("rules", "must be an object");
        for (const auto& [id, settings] : rules.items()) {
            const auto where = "rules." + id;
            (void)reader.ruleId(json(id), "rules");
            reader.onlyKeys(settings, where, {"impact"});
            if (settings.contains("impact")) config.impacts[id] = reader.impact(settings["impact"], where + ".impact");
        }
    }
    return config;
}

void applyImpacts(AudResult& result, const std::map<std::string, AudImpact>& impacts) {
    for (auto& ruleResult : result.audRuleResults) {
        const auto impact = impacts.find(ruleResult->ruleId);
        if (impact == impacts.end() || impact->second == ruleResult->impact) continue;
        const auto& old = *ruleResult;
        ruleResult = std::make_shared<AudRuleResult>(old.status, impact->second, old.ruleId, old.ruleSummary, old.props,
                                                     old.audViewId, old.isVisibleToUser, old.experimental,
                                                     old.standard);
    }
}

void applyViewIgnores(AudResult& result, const std::string& screen, const std::vector<ViewIgnore>& ignores) {
    if (ignores.empty() || !result.audContext || !result.audContext->audView) return;
    std::unordered_map<std::string, const AudView*> views;
    result.audContext->audView->runOnSelfAndDescendants([&](const AudView& view) {
        views.emplace(view.audViewId, &view);
        return RunStatus::proceed;
    });
    const auto key = Baseline::screenKey(screen);
    for (auto& ruleResult : result.audRuleResults) {
        if (ruleResult->status == AudStatus::ignored || ruleResult->status == AudStatus::inapplicable) continue;
        const auto view = views.find(ruleResult->audViewId);
        if (view == views.end()) continue;
        for (const auto& ignore : ignores) {
            if (!ignore.rules.contains(ruleResult->ruleId) || !matches(ignore, *view->second, key)) continue;
            const auto& old = *ruleResult;
            ruleResult = std::make_shared<AudRuleResult>(AudStatus::ignored, old.impact, old.ruleId, old.ruleSummary,
                                                         old.props, old.audViewId, old.isVisibleToUser,
                                                         old.experimental, old.standard);
            break;
        }
    }
}

}  // namespace audkit::cli
