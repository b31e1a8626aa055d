#pragma once

#include <array>
#include <optional>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"
#include "audkit/tree/orientation_probe.hpp"

namespace audkit {

// The application must follow the device into portrait and landscape. Only
// the root view is judged, from the frames the scan measured after turning
// the device; without them (a device that cannot be turned) there is no
// verdict.
class RuleScreenOrientation : public AudRule {
public:
    static constexpr RuleInfo info{.id = AudRuleId::screenOrientation,
                                   .standard = AudStandard::wcag21,
                                   .impact = AudImpact::serious,
                                   .criterion = "1.3.4 Orientation",
                                   .summary = "Views should adhere to the user's preferred display orientation.",
                                   .passingDescription = "The application supports multiple screen orientations."};
    static constexpr PropKey<AudOrientation> supportedOrientationsKey{"supportedOrientations"};
    static constexpr std::array keys{supportedOrientationsKey.name};

    explicit RuleScreenOrientation(std::shared_ptr<RuleConf> config) : AudRule(info, std::move(config)) {}

    // Which orientations the frames show the application taking.
    static AudOrientation supportedOrientations(const OrientationFrames& frames);

    void setUp(const AudContext& context) override;
    std::shared_ptr<AudProps> collectProps(const AudView& view) override;
    AudStatus runRule(const AudProps& props) override;
    void tearDown() override { frames_.reset(); }

private:
    std::optional<OrientationFrames> frames_;
};

}  // namespace audkit
