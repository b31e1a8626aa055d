#pragma once

#include <array>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"
#include "audkit/rules/scan_screen.hpp"

namespace audkit {

// Static text must sit inside something that scrolls, so larger fonts do not
// push it off the screen.
class RuleInScrollView : public AudRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::inScrollView,
        .standard = AudStandard::wcag20,
        .impact = AudImpact::serious,
        .criterion = "1.4.4 Resize Text",
        .summary =
            "Text should be within a scrollable view to ensure that all elements are visible on all screen sizes.",
        .passingDescription = "This text element is within a scrollable view."};
    static constexpr const char* notInScrollableViewMessage =
        "This text is not within a scroll-able view. Information may be cut off when using a larger font.";
    static constexpr const char* partialScreenMessage =
        "Missing context. This may be a partial screen scan, please scan the entire screen to get results for this "
        "rule.";
    // A band across the screen at its top or bottom (a navigation bar's
    // extension such as a week strip, a footer of buttons) stays in place:
    // at most this share of the screen's height, ending in its top quarter
    // or starting in its bottom quarter.
    static constexpr float fixedBandHeight = 0.2F;
    static constexpr float fixedBandReach = 0.25F;
    static constexpr PropKey<std::string> textKey{"text"};
    static constexpr PropKey<bool> isInScrollableViewKey{"isInScrollableView"};
    static constexpr PropKey<bool> isInTextFieldKey{"isInTextField"};
    static constexpr PropKey<bool> isInScrollViewKey{"isInScrollView"};
    static constexpr std::array keys{textKey.name, isInScrollableViewKey.name, isInTextFieldKey.name,
                                     isInScrollViewKey.name, rulekey::elementType.name};

    explicit RuleInScrollView(std::shared_ptr<RuleConf> config) : AudRule(info, std::move(config)) {}

    void setUp(const AudContext& context) override;
    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;

private:
    bool isFullScreen_ = true;
    ScanScreen screen_;
};

}  // namespace audkit
