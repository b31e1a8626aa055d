#pragma once

#include <string>

#include "audkit/base/json.hpp"
#include "audkit/rules/rule_vocabulary.hpp"

namespace audkit {

// The configuration of one rule: its default summary, guideline and severity,
// and whether it is switched off.
class RuleConf {
public:
    RuleConf(AudImpact impact, AudStandard standard, std::string summary, bool experimental)
        : experimental(experimental), summary(std::move(summary)), standard(standard), impact(impact) {}

    const bool experimental;
    const std::string summary;
    const AudStandard standard;
    AudImpact impact;
    bool ignored = false;
};

// Members "impact" (integer), "standard", "summary", "ignored", "experimental".
// Reading: an impact or standard that does not convert makes the record
// CRITICAL and Best Practice together; "experimental" defaults to false.
Json ruleConfToJson(const RuleConf& conf);
RuleConf ruleConfFromJson(const Json& json);

}  // namespace audkit
