#include "tools/audkit/scan/scan_config.hpp"

#include <nlohmann/json.hpp>
#include <unordered_map>

#include "audkit/base/strict_json.hpp"
#include "audkit/rules/aud_conf.hpp"
#include "tools/audkit/commands/input_file.hpp"
#include "tools/audkit/scan/baseline.hpp"
#include "tools/audkit/scan/scan_support.hpp"

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

}  // namespace

ScanConfig readScanConfig(const std::string& path) {
    const ConfigReader reader(path);
    // A configuration is a few lines a team writes.
    constexpr std::uintmax_t largest = 4ULL * 1024 * 1024;
    const auto text = readInputFile(path, largest, "configuration");
    json document;
    std::optional<std::string> repeated;
    try {
        repeated = parseNotingRepeats(text, document);
    } catch (const json::exception& error) {
        throw UsageError(path + ": not a JSON document: " + error.what());
    }
    // Which of two "ignore" lists would count is anybody's guess.
    if (repeated) throw UsageError(path + ": the key \"" + *repeated + "\" appears twice in one object");
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
            auto& views = ignore.ignore;
            for (auto& id : reader.ruleIds(entry["rules"], where + ".rules")) views.rules.insert(std::move(id));
            const std::pair<const char*, std::optional<std::string>*> criteria[] = {{"className", &views.className},
                                                                                    {"identifier", &views.identifier},
                                                                                    {"label", &views.label},
                                                                                    {"type", &views.type},
                                                                                    {"screen", &ignore.screen}};
            for (const auto& [key, target] : criteria)
                if (entry.contains(key)) *target = reader.text(entry[key], where + "." + key);
            if (views.type && !enumFromName<AudElementType>(*views.type))
                reader.fail(where + ".type", "unknown element type \"" + *views.type + "\"");
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

}  // namespace audkit::cli
