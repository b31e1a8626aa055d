#pragma once

#include "audkit/rules/aud_rule.hpp"

namespace audkit {

// A focusable view must not carry traits that exclude each other.
class RuleConflictingTraits : public AudRule {
public:
    explicit RuleConflictingTraits(std::shared_ptr<RuleConf> config);

    std::optional<std::string> passingDescription() const override {
        return "This view does not have conflicting accessibility traits.";
    }
    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;
};

}  // namespace audkit
