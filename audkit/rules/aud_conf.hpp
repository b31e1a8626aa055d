#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "audkit/base/error.hpp"
#include "audkit/rules/analytics_sender.hpp"
#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_conf.hpp"

namespace audkit {

class AudConf;

// Ignoring a rule id that is neither built in nor a custom rule.
class RuleIdDNEError : public MessageError {
public:
    RuleIdDNEError(const std::string& ruleId, const AudConf& conf);
    const std::string& ruleId() const { return ruleId_; }

private:
    std::string ruleId_;
};

// A custom rule that would take a built-in rule's id: it would never run, and
// removing it would remove the built-in rule.
class CustomRuleIdTaken : public MessageError {
public:
    explicit CustomRuleIdTaken(const std::string& ruleId)
        : MessageError("the custom rule id \"" + ruleId +
                       "\" is the id of a built-in rule; give the custom rule an id of its own") {}
};

// Rules switched off for the views that match every criterion given: class
// name, accessibility identifier, accessible name and element type (its
// string form, "button").
struct ViewRulesIgnore {
    std::set<std::string> rules;
    std::optional<std::string> className, identifier, label, type;
    bool matches(const AudView& view) const;
};

// The host of the public documentation, named in messages.
inline constexpr const char* documentationHost = "audkit.dev";

// The scan configuration: which rules run, which are ignored for which views,
// the custom rules and the application under test.
class AudConf {
public:
    AudConf();

    // Rule id -> configuration, in id order (which orders a view's results).
    std::map<std::string, std::shared_ptr<RuleConf>> rules;
    // View class name or accessibility identifier -> ids of rules ignored for it.
    std::map<std::string, std::set<std::string>> ignoredRules;
    // Rules ignored for the views that match several criteria together.
    std::vector<ViewRulesIgnore> ignoredRulesForViews;
    std::optional<std::string> bundleId;
    // Whether elements the system draws (an imported dump marks the status
    // bar, the keyboard, browser controls ...) are judged like the
    // application's own; by default they are counted and left alone.
    bool judgesSystemElements = false;
    // Receives configuration events; none are sent while it is absent.
    std::shared_ptr<AnalyticsSender> analytics;

    bool optInToSupportsDynamicType() const { return optInToSupportsDynamicType_; }
    void setOptInToSupportsDynamicType(bool optIn);

    const std::vector<std::shared_ptr<AudRule>>& customRules() const { return customRules_; }
    // Rules whose ids differ only in case or surrounding blanks count once.
    // Throws CustomRuleIdTaken, changing nothing, for a built-in rule's id.
    void setCustomRules(const std::vector<std::shared_ptr<AudRule>>& rules);

    // Never throw: an unknown id is logged and changes nothing.
    void ignore(const std::string& ruleId, bool ignored);
    void ignore(const std::vector<std::string>& ruleIds, bool ignored);
    void ignoreRulesFor(const std::map<std::string, std::set<std::string>>& rulesForViews);
    void ignoreExperimental();

    // Fresh instances of the built-in rules that are not ignored, and the
    // custom rules themselves.
    std::vector<std::shared_ptr<AudRule>> rulesToRun() const;

    std::string description() const;

private:
    // Throws RuleIdDNEError for an id that is neither configured nor built in.
    void applyIgnore(const std::string& ruleId, bool ignored);
    void send(const std::string& eventType, const Json& properties) const;

    std::vector<std::shared_ptr<AudRule>> customRules_;
    bool optInToSupportsDynamicType_ = false;
};

// Members "rules", "ruleIds" (enabled built-in rules) and "standards" (empty).
Json audConfToJson(const AudConf& conf);
// From "rules" when it is an object, else from "ruleIds" with catalogue defaults.
std::shared_ptr<AudConf> audConfFromJson(const Json& json);

}  // namespace audkit
