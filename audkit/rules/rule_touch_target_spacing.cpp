#include "audkit/rules/rule_touch_target_spacing.hpp"

#include <algorithm>
#include <cmath>

#include "audkit/base/bounds_geometry.hpp"
#include "audkit/rules/touch_targets.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {
namespace {

struct Point {
    double x, y;
};

// A rectangle's centre with each coordinate truncated toward zero, in double
// so that no coordinate, however large, overflows an integer.
Point truncatedCentre(const AudBounds& bounds) {
    return {std::trunc(bounds.left() + bounds.width() * 0.5F), std::trunc(bounds.top() + bounds.height() * 0.5F)};
}

double distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

// Pairs across the screen's zones (header or footer, and content) are not compared.
bool compared(bool insideA, bool isA, bool insideB, bool isB) {
    if (insideA && insideB) return true;
    if (isA && insideB) return true;
    if (insideA) return isB;
    return !insideB && !isA && !isB;
}

bool notJudged(const AudView& view) { return !view.isVisibleToUser || isSystemControlPart(view) || isLinkInText(view); }

}  // namespace

void RuleTouchTargetSpacing::setUp(const AudContext& context) { screen_ = ScanScreen::of(context); }

void RuleTouchTargetSpacing::tearDown() {
    screen_ = {};
    candidates_ = {};
}

double RuleTouchTargetSpacing::spacingDistance(const AudBounds& a, const AudBounds& b) const {
    const double scale = screen_.pixelsPerPoint();
    const Point centreA = truncatedCentre(a);
    if (b.width() / scale < minimumPoints || b.height() / scale < minimumPoints)
        return distance(truncatedCentre(b), centreA) / scale - minimumPoints / 2;
    const Point clamped{std::clamp<double>(centreA.x, b.left(), b.right()),
                        std::clamp<double>(centreA.y, b.top(), b.bottom())};
    return distance(clamped, centreA) / scale;
}

const RuleTouchTargetSpacing::Candidates& RuleTouchTargetSpacing::candidatesFor(
    const std::vector<std::shared_ptr<AudView>>& gathered) {
    if (candidates_.views == &gathered && candidates_.insideHeaderOrFooter.size() == gathered.size())
        return candidates_;
    std::vector<AudBounds> bounds;
    candidates_ = {};
    candidates_.views = &gathered;
    for (const auto& view : gathered) {
        bounds.push_back(view->boundsInScreen);
        candidates_.insideHeaderOrFooter.push_back(view->isChildOfProp(viewkey::isHeaderOrFooter));
        candidates_.isHeaderOrFooter.push_back(view->isHeaderOrFooter());
    }
    // A target matters to a control when it lies within the circle's reach of its centre.
    candidates_.index = std::make_unique<SpatialIndex>(bounds, minimumPoints * screen_.pixelsPerPoint());
    return candidates_;
}

std::shared_ptr<AudProps> RuleTouchTargetSpacing::collectPostRunProps(
    const std::shared_ptr<AudView>& view, const std::vector<std::shared_ptr<AudView>>& gathered) {
    auto props = std::make_shared<AudProps>();
    if (!view || notJudged(*view)) return props;
    const double scale = screen_.pixelsPerPoint();
    const auto& a = view->boundsInScreen;
    props->add(controlWidthKey, static_cast<float>(std::round(a.width() / scale)));
    props->add(controlHeightKey, static_cast<float>(std::round(a.height() / scale)));
    props->add(boundsInScreenKey, a);

    const auto& candidates = candidatesFor(gathered);
    const bool insideA = view->isChildOfProp(viewkey::isHeaderOrFooter), isA = view->isHeaderOrFooter();
    // Every target that can overlap the control or reach within 24 points of
    // its centre (a pixel more for the truncated centres) lies in this area.
    const Point centre = truncatedCentre(a);
    const double reach = minimumPoints * scale + 2;
    const AudBounds area = boundsUnionIgnoringEmpties(
        a, AudBounds(static_cast<float>(centre.x - reach), static_cast<float>(centre.x + reach),
                     static_cast<float>(centre.y - reach), static_cast<float>(centre.y + reach)));

    std::vector<AudTargetSpacing> nearby;
    AudBounds overlap;
    for (const auto index : candidates.index->candidates(area)) {
        const auto& other = *gathered[index];
        if (&other == view.get()) continue;
        if (!compared(insideA, isA, candidates.insideHeaderOrFooter[index], candidates.isHeaderOrFooter[index]))
            continue;
        if (other.className == dimmingViewClass) continue;
        const auto& b = other.boundsInScreen;
        if (const auto shared = boundsIntersection(a, b); shared && !(*shared == a))
            overlap = boundsUnionIgnoringEmpties(overlap, *shared);
        if (spacingDistance(a, b) + errorMargin < minimumPoints / 2) nearby.push_back({other.className, b});
    }
    if (!nearby.empty()) props->add(allNearbyTargetsKey, std::move(nearby));
    if (!(overlap == AudBounds())) props->add(overlappingBoundsKey, overlap);
    return props;
}

AudStatus RuleTouchTargetSpacing::runRule(const AudProps& props) {
    const auto width = props.get(controlWidthKey), height = props.get(controlHeightKey);
    if (!width || !height) return AudStatus::inapplicable;
    if (props.contains(overlappingBoundsKey)) return AudStatus::inapplicable;
    if (*width + errorMargin >= minimumPoints && *height + errorMargin >= minimumPoints) return AudStatus::pass;
    return props.contains(allNearbyTargetsKey) ? AudStatus::fail : AudStatus::pass;
}

}  // namespace audkit
