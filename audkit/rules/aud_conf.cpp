#include "audkit/rules/aud_conf.hpp"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "audkit/base/error_utils.hpp"
#include "audkit/base/text_helpers.hpp"
#include "audkit/rules/aud_rule_id.hpp"
#include "audkit/rules/rule_catalogue.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {

RuleIdDNEError::RuleIdDNEError(const std::string& ruleId, const AudConf& conf)
    : MessageError("Rule " + ruleId + " is not available in the AudConf object and could not be ignored. Checkout " +
                   documentationHost + " for more info on custom rules. Current configuration is\n\t" +
                   conf.description()),
      ruleId_(ruleId) {}

AudConf::AudConf() {
    for (const auto& entry : ruleCatalogue())
        rules[std::string(toString(entry.info->id))] = catalogueConf(entry.info->id);
}

void AudConf::send(const std::string& eventType, const Json& properties) const {
    if (analytics) analytics->sendEvent(eventType, properties);
}

void AudConf::setOptInToSupportsDynamicType(bool optIn) {
    optInToSupportsDynamicType_ = optIn;
    if (const auto found = rules.find("SupportsDynamicType"); found != rules.end()) found->second->ignored = !optIn;
}

void AudConf::setCustomRules(const std::vector<std::shared_ptr<AudRule>>& newRules) {
    for (const auto& rule : newRules) {
        if (!rule) continue;
        for (const auto id : allCases<AudRuleId>())
            if (rule->normalisedId() == lowercased(toString(id))) throw CustomRuleIdTaken(rule->id());
    }
    std::vector<std::shared_ptr<AudRule>> unique;
    for (const auto& rule : newRules) {
        if (!rule) continue;
        const bool seen = std::any_of(unique.begin(), unique.end(), [&](const auto& kept) { return *kept == *rule; });
        if (!seen) unique.push_back(rule);
    }
    for (const auto& old : customRules_) {
        const bool kept = std::any_of(unique.begin(), unique.end(), [&](const auto& rule) { return *rule == *old; });
        if (!kept) rules.erase(old->id());
    }
    customRules_ = std::move(unique);
    Json ids = Json::array();
    for (const auto& rule : customRules_) {
        rules[rule->id()] = rule->config();
        ids.push_back(rule->id());
    }
    send("rule:custom", Json{{"rule_ids", ids}});
}

void AudConf::applyIgnore(const std::string& ruleId, bool ignored) {
    if (const auto found = rules.find(ruleId); found != rules.end()) {
        found->second->ignored = ignored;
    } else if (const auto builtIn = enumFromName<AudRuleId>(ruleId)) {
        auto conf = catalogueConf(*builtIn);
        conf->ignored = ignored;
        rules[ruleId] = std::move(conf);
    } else {
        throw RuleIdDNEError(ruleId, *this);
    }
}

void AudConf::ignore(const std::string& ruleId, bool ignored) {
    send("rule:ignore", Json{{"rule_ids", Json::array({ruleId})}});
    ErrorUtils::runAndLog([&] { applyIgnore(ruleId, ignored); });
}

void AudConf::ignore(const std::vector<std::string>& ruleIds, bool ignored) {
    send("rule:ignore", Json{{"rule_ids", ruleIds}});
    for (const auto& id : ruleIds) ErrorUtils::runAndLog([&] { applyIgnore(id, ignored); });
}

void AudConf::ignoreRulesFor(const std::map<std::string, std::set<std::string>>& rulesForViews) {
    for (const auto& [view, ids] : rulesForViews)
        send("rule:ignore_view",
             Json{{"class_ids", view}, {"rule_ids", std::vector<std::string>(ids.begin(), ids.end())}});
    ignoredRules = rulesForViews;
}

bool ViewRulesIgnore::matches(const AudView& view) const {
    if (className && *className != view.className) return false;
    if (identifier && identifier != view.accessibilityIdentifier) return false;
    if (label && label != view.name) return false;
    return !type || *type == toString(view.elementType);
}

void AudConf::ignoreExperimental() {
    std::vector<std::string> experimental;
    for (const auto& [id, conf] : rules)
        if (conf->experimental) experimental.push_back(id);
    for (const auto& id : experimental) ignore(id, true);
}

std::vector<std::shared_ptr<AudRule>> AudConf::rulesToRun() const {
    std::vector<std::shared_ptr<AudRule>> toRun;
    for (const auto& entry : rules) {
        const auto& id = entry.first;
        if (entry.second->ignored) continue;
        if (const auto builtIn = enumFromName<AudRuleId>(id)) {
            // A fresh instance that reports with the configured impact.
            auto rule = makeRule(*builtIn);
            rule->setConfig(entry.second);
            toRun.push_back(std::move(rule));
            continue;
        }
        const auto custom =
            std::find_if(customRules_.begin(), customRules_.end(), [&](const auto& rule) { return rule->id() == id; });
        if (custom != customRules_.end()) toRun.push_back(*custom);
    }
    return toRun;
}

std::string AudConf::description() const {
    std::string text = "AudConf\n";
    for (const auto& [id, conf] : rules) text += id + ": isIgnored = " + (conf->ignored ? "true" : "false") + "\n";
    return text;
}

Json audConfToJson(const AudConf& conf) {
    Json rules = Json::object();
    Json ruleIds = Json::array();
    for (const auto& [id, ruleConf] : conf.rules) {
        rules[id] = ruleConfToJson(*ruleConf);
        if (!ruleConf->ignored && enumFromName<AudRuleId>(id)) ruleIds.push_back(id);
    }
    Json json = Json::object();
    json["rules"] = std::move(rules);
    json["ruleIds"] = std::move(ruleIds);
    json["standards"] = Json::array();
    return json;
}

std::shared_ptr<AudConf> audConfFromJson(const Json& json) {
    auto conf = std::make_shared<AudConf>();
    conf->rules.clear();
    const auto rules = json.find("rules");
    if (rules != json.end() && rules->is_object()) {
        for (const auto& [id, value] : rules->items())
            conf->rules[id] = std::make_shared<RuleConf>(ruleConfFromJson(value));
        return conf;
    }
    for (const auto& id : json.at("ruleIds").get<std::vector<std::string>>())
        conf->rules[id] = catalogueConf(parseAudEnum<AudRuleId>(id));
    return conf;
}

}  // namespace audkit
