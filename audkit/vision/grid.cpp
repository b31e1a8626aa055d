#include "audkit/vision/grid.hpp"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "audkit/tree/aud_view.hpp"

namespace audkit {
namespace {

// The cell of a coordinate, truncated toward zero, so that -49.9 and 49.9
// both fall in cell 0. Coordinates are finite and clamped far inside the
// 64-bit range.
std::int64_t cellOf(float coordinate) { return static_cast<std::int64_t>(std::trunc(coordinate / Grid::cellSize)); }

}  // namespace

Grid::Grid(const AudBounds& extent)
    : columnLimits_{cellOf(extent.left()) - 1, cellOf(extent.right()) + 1},
      rowLimits_{cellOf(extent.top()) - 1, cellOf(extent.bottom()) + 1} {}

Grid::Range Grid::columns(const AudBounds& rect) const {
    return {std::clamp(cellOf(rect.left()), columnLimits_.first, columnLimits_.last),
            std::clamp(cellOf(rect.right()), columnLimits_.first, columnLimits_.last)};
}

Grid::Range Grid::rows(const AudBounds& rect) const {
    return {std::clamp(cellOf(rect.top()), rowLimits_.first, rowLimits_.last),
            std::clamp(cellOf(rect.bottom()), rowLimits_.first, rowLimits_.last)};
}

void Grid::insert(const std::shared_ptr<AudView>& view, const AudBounds& rect) {
    const auto [firstRow, lastRow] = rows(rect);
    for (auto [column, lastColumn] = columns(rect); column <= lastColumn; ++column) {
        auto& cells = grid_[column];
        for (auto row = firstRow; row <= lastRow; ++row) cells[row].push_back(view);
    }
}

std::vector<std::shared_ptr<AudView>> Grid::views(const AudBounds& rect) const {
    std::vector<std::shared_ptr<AudView>> found;
    // Views met before, by place, so that each new one is compared only with
    // those that could equal it.
    std::unordered_multimap<AudBounds, const AudView*> seen;
    const auto firstMeeting = [&](const AudView& view) {
        const auto [begin, end] = seen.equal_range(view.boundsInScreen);
        if (std::any_of(begin, end, [&](const auto& entry) { return entry.second == &view || *entry.second == view; }))
            return false;
        seen.emplace(view.boundsInScreen, &view);
        return true;
    };
    const auto [firstColumn, lastColumn] = columns(rect);
    const auto [firstRow, lastRow] = rows(rect);
    for (auto column = grid_.lower_bound(firstColumn); column != grid_.end() && column->first <= lastColumn; ++column) {
        const auto& cells = column->second;
        for (auto cell = cells.lower_bound(firstRow); cell != cells.end() && cell->first <= lastRow; ++cell) {
            for (const auto& view : cell->second)
                if (firstMeeting(*view)) found.push_back(view);
        }
    }
    return found;
}

}  // namespace audkit
