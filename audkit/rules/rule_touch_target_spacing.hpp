#pragma once

#include <array>
#include <memory>
#include <vector>

#include "audkit/base/spatial_index.hpp"
#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_keys.hpp"
#include "audkit/rules/scan_screen.hpp"

namespace audkit {

// The 24-point spacing test: a target smaller than 24 x 24 points passes only
// when a circle of 24 points diameter on its centre touches no other target
// and no other small target's circle.
class RuleTouchTargetSpacing : public PostRunRule {
public:
    static constexpr float minimumPoints = 24;
    static constexpr float errorMargin = 0.01F;
    static constexpr RuleInfo info{
        .id = AudRuleId::touchTargetSpacing,
        .standard = AudStandard::wcag22,
        .impact = AudImpact::serious,
        .criterion = "2.5.8 Target Size (Minimum)",
        .summary =
            "Actionable controls should have a minimum dimension of 24 x 24 points or must be positioned so that "
            "if a circle with a diameter of 24 points is placed on the center of control, the circle will not "
            "intersect with another target or with the circle for another target.",
        .passingDescription =
            "This control has a minimum dimension of 24 x 24 points or is positioned in such a way that if a circle "
            "with a diameter of 24 points is placed on the control's center, the circle will not intersect with "
            "another target or with the 24 point diameter circle for another target."};
    // Class of the view that dims the screen behind a modal; it is no target.
    static constexpr const char* dimmingViewClass = "UIDimmingView";
    static constexpr PropKey<float> controlWidthKey{"controlWidth"};
    static constexpr PropKey<float> controlHeightKey{"controlHeight"};
    static constexpr PropKey<AudBounds> boundsInScreenKey{"boundsInScreen"};
    static constexpr PropKey<std::vector<AudTargetSpacing>> allNearbyTargetsKey{"allNearbyTargets"};
    static constexpr PropKey<AudBounds> overlappingBoundsKey{"overlappingBounds"};
    static constexpr std::array keys{controlWidthKey.name, controlHeightKey.name, boundsInScreenKey.name,
                                     allNearbyTargetsKey.name, overlappingBoundsKey.name};

    explicit RuleTouchTargetSpacing(std::shared_ptr<RuleConf> config) : PostRunRule(info, std::move(config)) {}

    Gathered gathered() const override { return Gathered::activeControls; }
    void setUp(const AudContext& context) override;
    std::shared_ptr<AudProps> collectProps(const AudView&) override { return std::make_shared<AudProps>(); }
    std::shared_ptr<AudProps> collectPostRunProps(const std::shared_ptr<AudView>& view,
                                                  const std::vector<std::shared_ptr<AudView>>& gathered) override;
    AudStatus runRule(const AudProps& props) override;
    void tearDown() override;

    // The spacing distance D(A, B) in points: how far the circle of 12 points
    // around A's centre stays from B (or from B's own circle when B is small).
    double spacingDistance(const AudBounds& a, const AudBounds& b) const;

private:
    // What the walk gathered, with the facts each comparison needs, made once
    // per scan rather than once per target.
    struct Candidates {
        const std::vector<std::shared_ptr<AudView>>* views = nullptr;
        std::unique_ptr<SpatialIndex> index;
        std::vector<bool> insideHeaderOrFooter;
        std::vector<bool> isHeaderOrFooter;
    };
    const Candidates& candidatesFor(const std::vector<std::shared_ptr<AudView>>& gathered);

    ScanScreen screen_;
    Candidates candidates_;
};

}  // namespace audkit
