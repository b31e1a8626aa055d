#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audkit/base/aud_rect.hpp"

namespace audkit {

// Rectangles filed in square cells, so that the ones near a place are found
// without looking at every one. Coordinates beyond the rectangles' common
// extent fall into the border cells, so any size of rectangle is safe.
class SpatialIndex {
public:
    // cellSize: the side of a cell, in the rectangles' units; cells grow when
    // there would be more than cellsPerRectangle of them per rectangle (and
    // more than minCellLimit in all), so memory stays linear.
    SpatialIndex(const std::vector<AudBounds>& rectangles, float cellSize);

    // The positions of the rectangles that may touch the area, ascending, each
    // once; callers test each one exactly. Every rectangle that touches the
    // area is among them.
    std::vector<std::size_t> candidates(const AudBounds& area) const;

    static constexpr double cellsPerRectangle = 4;
    static constexpr double minCellLimit = 4096;

private:
    struct CellRange {
        std::size_t firstColumn, lastColumn, firstRow, lastRow;
    };
    CellRange cellsOf(const AudBounds& area) const;

    double left_ = 0, top_ = 0, cellWidth_ = 1, cellHeight_ = 1;
    std::size_t columns_ = 1, rows_ = 1;
    std::vector<std::vector<std::uint32_t>> cells_;
};

}  // namespace audkit
