#pragma once

#include <memory>
#include <optional>
#include <string>

#include "audkit/base/json.hpp"
#include "audkit/rules/aud_rule_id.hpp"
#include "audkit/rules/rule_vocabulary.hpp"
#include "audkit/tree/aud_props.hpp"

namespace audkit {

class AudRule;
class AudView;

// The outcome of one rule for one view. Immutable once made.
struct AudRuleResult {
    // From the runner: impact, standard and experimental come from the rule's
    // configuration; the summary defaults to the configured one.
    AudRuleResult(AudStatus status, const std::optional<std::string>& summary, const AudRule& rule, const AudView& view,
                  std::shared_ptr<AudProps> props);
    AudRuleResult(AudStatus status, AudImpact impact, std::string ruleId, std::string ruleSummary,
                  std::shared_ptr<AudProps> props, std::string audViewId, bool isVisibleToUser, bool experimental,
                  AudStandard standard);

    AudStatus status;
    AudImpact impact;
    std::string ruleId;
    std::string ruleSummary;
    std::shared_ptr<AudProps> props;
    std::string audViewId;
    bool isVisibleToUser;
    bool experimental;
    AudStandard standard;

    // None for a custom rule.
    std::optional<AudRuleId> audRuleId() const { return enumFromName<AudRuleId>(ruleId); }
    std::string description() const;
};

// The value as a property listing shows it.
std::string describePropValue(const PropValue& value);

Json ruleResultToJson(const AudRuleResult& result);
// A status, impact or standard that does not convert makes all three
// INCOMPLETE, CRITICAL and Best Practice.
std::shared_ptr<AudRuleResult> ruleResultFromJson(const Json& json);

}  // namespace audkit
