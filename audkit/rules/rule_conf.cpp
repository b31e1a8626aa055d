#include "audkit/rules/rule_conf.hpp"

#include <nlohmann/json.hpp>

#include "audkit/base/json_numbers.hpp"

namespace audkit {

Json ruleConfToJson(const RuleConf& conf) {
    Json json = Json::object();
    json["impact"] = rawValue(conf.impact);
    json["standard"] = std::string(toString(conf.standard));
    json["summary"] = conf.summary;
    json["ignored"] = conf.ignored;
    json["experimental"] = conf.experimental;
    return json;
}

RuleConf ruleConfFromJson(const Json& json) {
    const auto impactValue = integerAt(json, "impact");
    const auto standardText = json.at("standard").get<std::string>();
    auto summary = json.at("summary").get<std::string>();
    const bool ignored = json.at("ignored").get<bool>();
    const bool experimental = json.contains("experimental") && json.at("experimental").get<bool>();
    auto impact = enumFromRawValue<AudImpact>(impactValue);
    auto standard = enumFromName<AudStandard>(standardText);
    if (!impact || !standard) {
        impact = AudImpact::critical;
        standard = AudStandard::bestPractice;
    }
    RuleConf conf(*impact, *standard, std::move(summary), experimental);
    conf.ignored = ignored;
    return conf;
}

}  // namespace audkit
