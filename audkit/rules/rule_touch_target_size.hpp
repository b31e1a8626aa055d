#pragma once

#include <array>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"
#include "audkit/rules/scan_screen.hpp"

namespace audkit {

// The INCOMPLETE outcome of a small control that a modal may have shrunk.
class BehindModalError : public MessageError {
public:
    BehindModalError() : MessageError("Control is behind a modal, which may have decreased its size.") {}
};

// Active controls need a visual and tappable area of at least 44 x 44 points.
class RuleTouchTargetSize : public AudRule {
public:
    static constexpr float minimumPoints = 44;
    static constexpr float errorMargin = 0.01F;
    static constexpr RuleInfo info{
        .id = AudRuleId::touchTargetSize,
        .standard = AudStandard::wcag21,
        .impact = AudImpact::moderate,
        .criterion = "2.5.5 Target Size (Enhanced)",
        .summary = "All active controls should have a minimum of 44pt by 44pt visual and tappable area.",
        .passingDescription = "The active control has a visual and tappable area of at least 44 x 44."};
    static constexpr PropKey<bool> isTextFieldKey{"Is TextField or Child of TextField"};
    static constexpr PropKey<float> controlWidthKey{"controlWidth"};
    static constexpr PropKey<float> controlHeightKey{"controlHeight"};
    static constexpr PropKey<bool> isBehindModalKey{"Is Behind a Modal"};
    static constexpr PropKey<std::string> viewHierarchyTypeKey{"viewHierarchyType"};
    static constexpr PropKey<float> elementOffScreenKey{"elementOffScreen"};
    static constexpr std::array keys{isTextFieldKey.name,     rulekey::isActiveControl.name, controlWidthKey.name,
                                     controlHeightKey.name,   isBehindModalKey.name,         viewHierarchyTypeKey.name,
                                     elementOffScreenKey.name};

    explicit RuleTouchTargetSize(std::shared_ptr<RuleConf> config) : AudRule(info, std::move(config)) {}

    void setUp(const AudContext& context) override;
    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;
    void tearDown() override;

private:
    ScanScreen screen_;
};

}  // namespace audkit
