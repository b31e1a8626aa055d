#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/tree/aud_color_contrast.hpp"
#include "audkit/vision/color_contrast_helper.hpp"

namespace audkit {

// Text must stand out from its background: a contrast ratio of 4.5:1, or
// 3.0:1 for large text (18 pt, or 14 pt bold), measured from the screenshot's
// pixels around each piece of text found on it.
class RuleColorContrast : public VisionRule {
public:
    static constexpr RuleInfo info{.id = AudRuleId::colorContrast,
                                   .standard = AudStandard::wcag20,
                                   .impact = AudImpact::serious,
                                   .criterion = "1.4.3 Contrast (Minimum)",
                                   .summary =
                                       "Ensures that each text element has a minimum 4.5:1 contrast ratio with "
                                       "its background and that large text has a minimum 3.0:1 contrast ratio."};
    static constexpr double minimumLargeTextContrast = 3.0;
    static constexpr double minimumSmallTextContrast = 4.5;
    // Pairs below this ratio are taken for noise (anti-aliasing, shades of
    // one colour) when other pairs exist.
    static constexpr double minimumContrastRatio = 1.5;
    // Colours this close are no text that recognition could have read: the
    // measurement missed the glyphs (a near-white speck of a white page), so
    // such a pair decides nothing.
    static constexpr double unreadableContrast = 1.1;
    static constexpr float largeTextPoints = 18;
    static constexpr float largeBoldTextPoints = 14;

    static constexpr PropKey<std::string> detectedTextKey{"Detected Text"};
    static constexpr PropKey<bool> cursorMayBePresentKey{"Cursor May Be Present"};
    static constexpr PropKey<std::vector<AudColorContrast>> allColorContrastsKey{"All Color Contrasts"};
    // The pair the verdict rests on: the lowest failing one, else the lowest.
    static constexpr PropKey<AudColorContrast> decidingPairKey{"Deciding Color Pair"};
    static constexpr PropKey<std::string> errorKey{"Error"};
    static constexpr PropKey<float> elementOffScreenKey{"elementOffScreen"};
    static constexpr const char* unhandledError = "unhandled";
    static constexpr std::array keys{
        detectedTextKey.name, cursorMayBePresentKey.name, allColorContrastsKey.name, decidingPairKey.name,
        errorKey.name,        elementOffScreenKey.name};

    explicit RuleColorContrast(std::shared_ptr<RuleConf> config) : VisionRule(info, std::move(config)) {}

    std::shared_ptr<AudProps> collectProps(const AudView&) override { return std::make_shared<AudProps>(); }
    std::shared_ptr<AudProps> collectVisionProps(const AudView& view, const std::vector<FoundText>& foundTexts,
                                                 const std::vector<std::shared_ptr<AudView>>& overlapping) override;
    AudStatus runRule(const AudProps& props) override;
    // MODERATE for a judged view, SERIOUS when a pair is below 3.0:1.
    AudImpact impactFor(const AudProps& props) const override;

    // How one pair fares: whether it passes, and whether its failure is
    // serious (below the large-text ratio, or against a transparent colour).
    struct PairVerdict {
        bool passes;
        bool serious;
    };
    static PairVerdict judge(const AudColorContrast& pair);
    static bool isLargeText(const AudColorContrast& pair);
    // Whether the view's text is judged at all.
    static bool isApplicable(const AudView& view);
};

}  // namespace audkit
