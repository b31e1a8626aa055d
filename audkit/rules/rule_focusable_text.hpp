#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"
#include "audkit/vision/grid.hpp"

namespace audkit {

// Text a person sees on the screen must be reachable by VoiceOver: the text
// is focusable itself, or lies inside a focusable container that reads it, is
// the label of a control, or lies in a table or collection.
class RuleFocusableText : public VisionRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::focusableText,
        .standard = AudStandard::wcag20,
        .impact = AudImpact::critical,
        .criterion = "1.3.1 Info and Relationships",
        .summary = "Views containing text should be focusable for assistive technologies such as VoiceOver.",
        .restsOn = elementFlag};
    static constexpr PropKey<std::string> textKey{"text"};
    static constexpr PropKey<std::string> detectedTextKey{"Detected Text"};
    static constexpr PropKey<bool> isVisibleToUserKey{"isVisibleToUser"};
    static constexpr PropKey<float> elementOffScreenKey{"elementOffScreen"};
    static constexpr PropKey<std::string> containerClassNameKey{"Encapsulating View's className"};
    static constexpr PropKey<std::string> containerElementTypeKey{"Encapsulating View's elementType"};
    static constexpr PropKey<std::string> containerNameKey{"Encapsulating View's Name"};
    static constexpr PropKey<std::string> controlClassNameKey{"Associated Control's className"};
    static constexpr PropKey<std::string> controlElementTypeKey{"Associated Control's elementType"};
    static constexpr std::array keys{textKey.name,
                                     detectedTextKey.name,
                                     isVisibleToUserKey.name,
                                     rulekey::elementType.name,
                                     rulekey::isAccessibilityFocusable.name,
                                     elementOffScreenKey.name,
                                     containerClassNameKey.name,
                                     containerElementTypeKey.name,
                                     containerNameKey.name,
                                     controlClassNameKey.name,
                                     controlElementTypeKey.name};
    // A container reads the text when its focus path covers at least this
    // much of it in both directions, in points.
    static constexpr float leastCoverPoints = 0.95F;
    // Texts more than this share off the screen are not judged.
    static constexpr float mostOffScreen = 0.5F;

    explicit RuleFocusableText(std::shared_ptr<RuleConf> config) : VisionRule(info, std::move(config)) {}

    void setUp(const AudContext& context) override;
    std::shared_ptr<AudProps> collectProps(const AudView&) override { return std::make_shared<AudProps>(); }
    std::shared_ptr<AudProps> collectVisionProps(const AudView& view, const std::vector<FoundText>& foundTexts,
                                                 const std::vector<std::shared_ptr<AudView>>& overlapping) override;
    AudStatus runRule(const AudProps& props) override;
    void tearDown() override;

private:
    float scale_ = 1;
    // Focusable views at their focus paths, and controls at their labels.
    std::optional<Grid> accessibilityPathGrid_, associatedTextGrid_;
    // Written by the collection for the text it judged, read by runRule.
    bool isInTableOrCollection_ = false;
};

}  // namespace audkit
