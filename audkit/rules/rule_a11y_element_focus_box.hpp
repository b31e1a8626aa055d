#pragma once

#include <array>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"
#include "audkit/rules/scan_screen.hpp"
#include "audkit/tree/aud_element_type.hpp"

namespace audkit {

// The INCOMPLETE outcomes of the focus-box rule.
class A11yElementError : public MessageError {
public:
    static A11yElementError couldNotFindViewsFrame() { return A11yElementError("Could not find view's bounds."); }
    static A11yElementError partiallyOffScreen() {
        return A11yElementError(
            "Control is not fully visible in this scan or may be near the home indicator and needs to be scrolled "
            "into view.");
    }

private:
    using MessageError::MessageError;
};

// The box VoiceOver draws (the accessibility path) must cover what the view
// shows on screen.
class RuleA11yElementFocusBox : public AudRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::a11yElementFocusBox,
        .standard = AudStandard::bestPractice,
        .impact = AudImpact::moderate,
        .summary =
            "Ensures a view's accessibility path, or VoiceOver focus box, encapsulates its own visual on-screen frame.",
        .passingDescription =
            "This view's accessibility path (or VoiceOver focus box) encapsulates its own visual on-screen frame.",
        .restsOn = elementFlag};
    // How far (in points) the path may fall short of the frame in width or height.
    static constexpr float tolerancePoints = 0.95F;
    // Views whose frames make up what a container shows; the walk does not look inside them.
    static constexpr std::array visibleParts{AudElementType::image,       AudElementType::button,
                                             AudElementType::link,        AudElementType::progressIndicator,
                                             AudElementType::searchField, AudElementType::secureTextField,
                                             AudElementType::slider,      AudElementType::staticText,
                                             AudElementType::switch_,     AudElementType::textField,
                                             AudElementType::toggle};
    static constexpr PropKey<AudBounds> accessibilityPathKey{"accessibilityPath"};
    static constexpr PropKey<float> elementOffScreenKey{"elementOffScreen"};
    static constexpr PropKey<AudBounds> boundsInScreenKey{"boundsInScreen"};
    static constexpr PropKey<AudBounds> calculatedVisibleFrameKey{"calculatedVisibleFrame"};
    static constexpr std::array keys{accessibilityPathKey.name, rulekey::isAccessibilityFocusable.name,
                                     rulekey::elementType.name, elementOffScreenKey.name,
                                     boundsInScreenKey.name,    calculatedVisibleFrameKey.name};

    explicit RuleA11yElementFocusBox(std::shared_ptr<RuleConf> config) : AudRule(info, std::move(config)) {}

    void setUp(const AudContext& context) override;
    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;
    void tearDown() override;

private:
    ScanScreen screen_;
};

}  // namespace audkit
