#pragma once

#include "audkit/rules/aud_rule.hpp"

namespace audkit {

// A focusable image needs an accessible name.
class RuleImageViewName : public AudRule {
public:
    explicit RuleImageViewName(std::shared_ptr<RuleConf> config);

    std::optional<std::string> passingDescription() const override {
        return "This image provides a meaningful accessible name for assistive technologies.";
    }
    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;

    static constexpr const char* noNameMessage =
        "This image is focusable and does not have a valid name. Ensure the image's accessibility label exists and is "
        "descriptive.";
    static constexpr const char* unableToDetermineFocusableMessage =
        "This image lacks a name, and isAccessibilityFocusable is unreliable (reported bug with Apple). Verify "
        "focusability with VoiceOver and add an accessibilityLabel or explicitly set isAccessibilityElement to false.";
};

}  // namespace audkit
