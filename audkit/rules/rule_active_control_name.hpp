#pragma once

#include "audkit/rules/aud_rule.hpp"

namespace audkit {

// An interactive view needs an accessible name: its own, or the text of the
// label associated with it.
class RuleActiveControlName : public AudRule {
public:
    explicit RuleActiveControlName(std::shared_ptr<RuleConf> config);

    std::optional<std::string> passingDescription() const override {
        return "This view has an accessible name available for assistive technologies.";
    }
    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;

    static constexpr const char* noNameMessage =
        "This control does not have a valid name. Ensure the element's accessibility label exists and is descriptive.";
    static constexpr const char* defaultStepperButtonNameMessage =
        "Stepper button names should be more descriptive than \"Increment\"/\"Decrement\".";

private:
    // What collectProps found for the view runRule decides next.
    std::optional<std::string> elementName_;
    bool isChildOfStepper_ = false;
};

}  // namespace audkit
