#include "audkit/rules/aud_result.hpp"

#include <map>
#include <nlohmann/json.hpp>

#include "audkit/tree/aud_view.hpp"
#include "audkit/vision/screen_reading.hpp"

namespace audkit {
namespace {

std::vector<std::shared_ptr<AudRuleResult>> withStatus(const std::vector<std::shared_ptr<AudRuleResult>>& results,
                                                       AudStatus status) {
    std::vector<std::shared_ptr<AudRuleResult>> matching;
    for (const auto& result : results)
        if (result->status == status) matching.push_back(result);
    return matching;
}

std::size_t countStatus(const std::vector<std::shared_ptr<AudRuleResult>>& results, AudStatus status) {
    return withStatus(results, status).size();
}

}  // namespace

AudResult::AudResult(std::optional<std::string> name, std::shared_ptr<AudConf> conf,
                     std::shared_ptr<AudContext> context, std::vector<std::shared_ptr<AudRuleResult>> results)
    : scanName(std::move(name)),
      audConf(std::move(conf)),
      audContext(std::move(context)),
      audRuleResults(std::move(results)) {
    // The placeholder of an untitled screen is no name.
    if (audContext && !audContext->audMetaData.screenTitle.empty() &&
        audContext->audMetaData.screenTitle != noScreenTitle)
        scanName = audContext->audMetaData.screenTitle;
}

std::vector<std::shared_ptr<AudRuleResult>> AudResult::failures() const {
    return withStatus(audRuleResults, AudStatus::fail);
}
std::vector<std::shared_ptr<AudRuleResult>> AudResult::passes() const {
    return withStatus(audRuleResults, AudStatus::pass);
}
std::vector<std::shared_ptr<AudRuleResult>> AudResult::incompletes() const {
    return withStatus(audRuleResults, AudStatus::incomplete);
}

std::string AudResult::shortDescription() const {
    return "Zunik Aud Result (Failures: " + std::to_string(failures().size()) +
           " Passes: " + std::to_string(passes().size()) + " Incompletes: " + std::to_string(incompletes().size()) +
           ")\n";
}

std::string AudResult::description() const {
    std::map<std::string, std::vector<std::shared_ptr<AudRuleResult>>> groups;
    for (const auto& result : audRuleResults) groups[result->ruleId].push_back(result);
    std::string text = shortDescription() + "\n";
    for (const auto& [ruleId, group] : groups) {
        // The rule's own impact and summary head its group: the first
        // result's may be a passing description above failures.
        const auto& first = *group.front();
        const RuleConf* rule = nullptr;
        if (audConf)
            if (const auto found = audConf->rules.find(ruleId); found != audConf->rules.end())
                rule = found->second.get();
        const auto impact = rule ? rule->impact : first.impact;
        const auto& summary = rule ? rule->summary : first.ruleSummary;
        text += ruleId + " (" + std::to_string(countStatus(group, AudStatus::fail)) + " failures " +
                std::to_string(countStatus(group, AudStatus::pass)) + " passes " +
                std::to_string(countStatus(group, AudStatus::incomplete)) +
                " incompletes): " + std::string(toString(impact)) + " - " + summary + "\n\n";
        for (const auto& result : group) {
            if (result->status == AudStatus::pass) continue;
            // A result's own message (why it failed, what needs review)
            // follows its status line when it says more than the header.
            auto block = result->description();
            if (result->ruleSummary != summary)
                block.insert(block.find('\n') + 1, "\tmessage : " + result->ruleSummary + "\n");
            text += block;
        }
    }
    return text;
}

Json resultToJson(const AudResult& result) {
    Json json = Json::object();
    if (result.scanName) json["scanName"] = *result.scanName;
    if (result.tags) json["tags"] = *result.tags;
    json["audConf"] = result.audConf ? audConfToJson(*result.audConf) : audConfToJson(AudConf());
    json["audContext"] = contextToJson(*result.audContext);
    Json ruleResults = Json::array();
    for (const auto& ruleResult : result.audRuleResults) ruleResults.push_back(ruleResultToJson(*ruleResult));
    json["audRuleResults"] = std::move(ruleResults);
    return json;
}

std::shared_ptr<AudResult> resultFromJson(const Json& json) {
    auto conf = audConfFromJson(json.at("audConf"));
    auto context = contextFromJson(json.at("audContext"));
    std::vector<std::shared_ptr<AudRuleResult>> ruleResults;
    for (const auto& item : json.at("audRuleResults")) ruleResults.push_back(ruleResultFromJson(item));
    std::optional<std::string> scanName;
    if (json.contains("scanName")) scanName = json.at("scanName").get<std::string>();
    auto result =
        std::make_shared<AudResult>(std::nullopt, std::move(conf), std::move(context), std::move(ruleResults));
    result->scanName = std::move(scanName);
    if (json.contains("tags")) result->tags = json.at("tags").get<std::vector<std::string>>();
    // The document does not keep the counts: they are worked out again from
    // the tree, as the runner counts.
    if (result->audContext && result->audContext->audView) {
        const auto counts = countExamined(*result->audContext->audView, result->audContext->audDevice.screenSize(),
                                          result->audConf && result->audConf->judgesSystemElements);
        result->viewsExamined = counts.views;
        result->elementsExamined = counts.elements;
        result->systemElementsNotJudged = counts.systemNotJudged;
        result->viewsOffScreen = counts.offScreen;
    }
    return result;
}

std::string resultDocument(const AudResult& result, int indent) {
    return resultToJson(result).dump(indent, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace audkit
