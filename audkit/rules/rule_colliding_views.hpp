#pragma once

#include <array>
#include <memory>
#include <string>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"

namespace audkit {

// The text of a view that is not a control must be legible on the screen in
// full; when it is not, another view may cover it or cut it off, and the view
// is left for review with the views whose text areas overlap it.
class RuleCollidingViews : public VisionRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::collidingViews,
        .standard = AudStandard::platform,
        .impact = AudImpact::minor,
        .summary =
            "Views containing information should not intersect with another view, either entirely or partially."};
    static constexpr PropKey<std::string> assignedTextKey{"Assigned Text"};
    static constexpr PropKey<std::string> detectedTextKey{"Detected Text"};
    static constexpr PropKey<AudBounds> boundsInScreenKey{"boundsInScreen"};
    static constexpr PropKey<float> elementOffScreenKey{"elementOffScreen"};
    static constexpr PropKey<std::string> overlappingViewsKey{"Overlapping Views"};
    static constexpr std::array keys{assignedTextKey.name,     detectedTextKey.name,
                                     boundsInScreenKey.name,   rulekey::isAccessibilityFocusable.name,
                                     elementOffScreenKey.name, overlappingViewsKey.name};
    // Any share off the screen explains text that was not found.
    static constexpr float leastOffScreen = 0.001F;

    class CollidingViewsError : public MessageError {
    public:
        static CollidingViewsError ocrFailed() {
            return CollidingViewsError(
                "The full text string was not legible or available. Ensure views with important information are not "
                "hidden or cut off.");
        }

    private:
        using MessageError::MessageError;
    };

    explicit RuleCollidingViews(std::shared_ptr<RuleConf> config) : VisionRule(info, std::move(config)) {}

    std::shared_ptr<AudProps> collectProps(const AudView&) override { return std::make_shared<AudProps>(); }
    std::shared_ptr<AudProps> collectVisionProps(const AudView& view, const std::vector<FoundText>& foundTexts,
                                                 const std::vector<std::shared_ptr<AudView>>& overlapping) override;
    // PASS when the text is legible, else INCOMPLETE; never FAIL.
    AudStatus runRule(const AudProps& props) override;
};

}  // namespace audkit
