#include "audkit/vision/text_areas.hpp"

#include "audkit/base/bounds_geometry.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/vision/text_matching.hpp"

namespace audkit {
namespace {

// The smallest rectangle holding every found text with an area; none when
// no found text has one.
std::optional<AudBounds> unionOf(const std::vector<FoundText>& foundTexts) {
    std::optional<AudBounds> area;
    for (const auto& found : foundTexts) {
        if (found.rect.width() == 0 || found.rect.height() == 0) continue;
        area = area ? boundsUnionIgnoringEmpties(*area, found.rect) : found.rect;
    }
    return area;
}

std::vector<std::optional<AudBounds>> areasOf(const VisionMap& visionMap) {
    std::vector<std::optional<AudBounds>> areas;
    areas.reserve(visionMap.size());
    for (const auto& entry : visionMap) areas.push_back(unionOf(entry.second));
    return areas;
}

// Views without a text area are filed as empty rectangles, which the exact
// test below never lets through.
std::vector<AudBounds> indexedRectangles(const std::vector<std::optional<AudBounds>>& areas) {
    std::vector<AudBounds> rectangles;
    rectangles.reserve(areas.size());
    for (const auto& area : areas) rectangles.push_back(area.value_or(AudBounds()));
    return rectangles;
}

constexpr float cellSize = 50;

}  // namespace

TextAreas::TextAreas(const VisionMap& visionMap)
    : visionMap_(visionMap),
      areas_(areasOf(visionMap)),
      index_(indexedRectangles(areas_), cellSize),
      readings_(visionMap.size()) {}

const TextAreas::Reading& TextAreas::reading(std::size_t entry) const {
    auto& cached = readings_[entry];
    if (!cached) {
        const auto& [view, found] = visionMap_[entry];
        std::string text;
        for (const auto& piece : view->textOfSelfAndDescendants()) text += (text.empty() ? "" : " ") + piece;
        auto ordered = VisionHelper::orderedText(text, found);
        cached = Reading{std::move(text), std::move(ordered)};
    }
    return *cached;
}

std::vector<std::shared_ptr<AudView>> TextAreas::overlapping(std::size_t entry) const {
    std::vector<std::shared_ptr<AudView>> overlapping;
    const auto& own = reading(entry);
    if (detectedTextMatches(own.ordered, own.text)) return overlapping;
    const auto& area = areas_[entry];
    if (!area) return overlapping;
    for (const auto other : index_.candidates(*area)) {
        if (other == entry || visionMap_[other].first == visionMap_[entry].first) continue;
        const auto& otherArea = areas_[other];
        if (!otherArea || !boundsIntersection(*area, *otherArea)) continue;
        if (detectedTextMatches(reading(other).ordered, own.ordered)) continue;
        overlapping.push_back(visionMap_[other].first);
    }
    return overlapping;
}

}  // namespace audkit
