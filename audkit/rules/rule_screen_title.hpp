#pragma once

#include <array>
#include <optional>
#include <string>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"
#include "audkit/rules/scan_screen.hpp"

namespace audkit {

// Every screen needs a title that assistive technology can announce. Only the
// root view is judged.
class RuleScreenTitle : public AudRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::screenTitle,
        .standard = AudStandard::wcag20,
        .impact = AudImpact::moderate,
        .criterion = "2.4.2 Page Titled",
        .summary = "Every screen within an application should provide a title to be announced by assistive technology.",
        .passingDescription = "The screen has a title that can be announced by an assistive technology."};
    static constexpr const char* partialScreenMessage =
        "Missing context. Scan the entire screen to get results for this rule.";
    // A React Native screen container; the header above it names the screen.
    static constexpr const char* reactNativeScreenClass = "RNSScreenContainerView";
    // A panel as tall as the screen and narrower than this share of it is a drawer.
    static constexpr float drawerWidthShare = 0.95F;
    static constexpr PropKey<bool> notFirstViewKey{"notFirstView"};
    static constexpr PropKey<std::string> screenTitleKey{"screenTitle"};
    static constexpr PropKey<bool> drawerKey{"hierarchyMayContainDrawerElement"};
    static constexpr std::array keys{notFirstViewKey.name, screenTitleKey.name, drawerKey.name};

    explicit RuleScreenTitle(std::shared_ptr<RuleConf> config) : AudRule(info, std::move(config)) {}

    void setUp(const AudContext& context) override;
    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;
    void tearDown() override;

private:
    void searchTitle(const AudView& root, AudProps& props) const;
    bool isDrawer(const AudView& view) const;

    bool isFullScreen_ = true;
    std::optional<std::string> title_;
    ScanScreen screen_;
};

}  // namespace audkit
