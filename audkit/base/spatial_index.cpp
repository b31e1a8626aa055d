#include "audkit/base/spatial_index.hpp"

#include <algorithm>
#include <cmath>

namespace audkit {
namespace {

// The cell of a coordinate, clamped into [0, count - 1]; computed in double so
// no coordinate overflows an integer.
std::size_t cellOf(double coordinate, double origin, double cellSize, std::size_t count) {
    const double cell = std::floor((coordinate - origin) / cellSize);
    if (!(cell > 0)) return 0;
    return cell >= static_cast<double>(count - 1) ? count - 1 : static_cast<std::size_t>(cell);
}

}  // namespace

SpatialIndex::SpatialIndex(const std::vector<AudBounds>& rectangles, float cellSize) {
    if (rectangles.empty()) {
        cells_.resize(1);
        return;
    }
    double left = rectangles.front().left(), right = rectangles.front().right();
    double top = rectangles.front().top(), bottom = rectangles.front().bottom();
    for (const auto& rect : rectangles) {
        left = std::min<double>(left, rect.left());
        right = std::max<double>(right, rect.right());
        top = std::min<double>(top, rect.top());
        bottom = std::max<double>(bottom, rect.bottom());
    }
    // Cells of the asked size, made larger when there would be more than a few
    // per rectangle.
    double side = cellSize > 0 ? cellSize : 1.0;
    const double width = std::max(right - left, 1.0), height = std::max(bottom - top, 1.0);
    const double most = std::max<double>(minCellLimit, cellsPerRectangle * static_cast<double>(rectangles.size()));
    if ((width / side) * (height / side) > most) side = std::sqrt(width * height / most);
    const auto count = [&](double extent) {
        return static_cast<std::size_t>(std::clamp(std::ceil(extent / side), 1.0, most));
    };
    left_ = left;
    top_ = top;
    columns_ = count(right - left);
    rows_ = count(bottom - top);
    cellWidth_ = std::max(side, width / static_cast<double>(columns_));
    cellHeight_ = std::max(side, height / static_cast<double>(rows_));
    cells_.resize(columns_ * rows_);
    for (std::size_t index = 0; index < rectangles.size(); ++index) {
        const auto range = cellsOf(rectangles[index]);
        for (auto row = range.firstRow; row <= range.lastRow; ++row)
            for (auto column = range.firstColumn; column <= range.lastColumn; ++column)
                cells_[row * columns_ + column].push_back(static_cast<std::uint32_t>(index));
    }
}

SpatialIndex::CellRange SpatialIndex::cellsOf(const AudBounds& area) const {
    return {cellOf(area.left(), left_, cellWidth_, columns_), cellOf(area.right(), left_, cellWidth_, columns_),
            cellOf(area.top(), top_, cellHeight_, rows_), cellOf(area.bottom(), top_, cellHeight_, rows_)};
}

std::vector<std::size_t> SpatialIndex::candidates(const AudBounds& area) const {
    std::vector<std::size_t> found;
    const auto range = cellsOf(area);
    for (auto row = range.firstRow; row <= range.lastRow; ++row)
        for (auto column = range.firstColumn; column <= range.lastColumn; ++column)
            for (const auto index : cells_[row * columns_ + column]) found.push_back(index);
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

}  // namespace audkit
