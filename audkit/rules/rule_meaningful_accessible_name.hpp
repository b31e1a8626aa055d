#pragma once

#include "audkit/rules/aud_rule.hpp"

namespace audkit {

// An accessible name should not repeat the words of the view's traits
// ("Play button").
class RuleMeaningfulAccessibleName : public AudRule {
public:
    explicit RuleMeaningfulAccessibleName(std::shared_ptr<RuleConf> config);

    std::optional<std::string> passingDescription() const override {
        return "This element's accessible name does not include its accessibility trait(s).";
    }
    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;
};

}  // namespace audkit
