#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/tree/larger_text_probe.hpp"

namespace audkit {

// Text must grow when the user picks a larger text size: the scan moves the
// Larger Text slider in Settings, captures the application again and compares
// the height of every static text before and after.
class RuleSupportsDynamicType : public PostRunRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::supportsDynamicType,
        .standard = AudStandard::platform,
        .impact = AudImpact::critical,
        .experimental = true,
        .ignoredByDefault = true,
        .summary =
            "Text elements should have the required properties to support Dynamic Type and resize the text "
            "to the user's device preference.",
        .passingDescription = "The text elements can be resized to the user's device preference."};
    // A text grows when its height grows by more than this many per cent (a
    // text that shrinks does not grow).
    static constexpr float leastGrowthPercent = 10;

    static constexpr PropKey<std::string> errorKey{"Error"};
    static constexpr PropKey<std::string> textKey{"text"};
    // How much the text's height grew, in per cent (0 when it is not found
    // after the change).
    static constexpr PropKey<float> heightGrowthKey{"Height Growth Percent"};
    static constexpr std::array keys{errorKey.name, textKey.name, heightGrowthKey.name};

    explicit RuleSupportsDynamicType(std::shared_ptr<RuleConf> config) : PostRunRule(info, std::move(config)) {}

    Gathered gathered() const override { return Gathered::staticTexts; }
    void setUp(const AudContext& context) override;
    std::shared_ptr<AudProps> collectProps(const AudView&) override { return std::make_shared<AudProps>(); }
    std::shared_ptr<AudProps> collectPostRunProps(const std::shared_ptr<AudView>& view,
                                                  const std::vector<std::shared_ptr<AudView>>& texts) override;
    std::vector<std::shared_ptr<AudRuleResult>> readyResults(const AudProps& props) override;
    // Only ready-made results: nothing is left to decide per view.
    AudStatus runRule(const AudProps&) override { return AudStatus::inapplicable; }
    void tearDown() override;

private:
    struct Judged {
        std::shared_ptr<AudView> text;
        float heightGrowth;
    };
    std::optional<LargerTextCapture> capture_;
    std::shared_ptr<AudView> root_;
    std::vector<Judged> judged_;
};

}  // namespace audkit
