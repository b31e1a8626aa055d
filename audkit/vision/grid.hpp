#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "audkit/base/aud_rect.hpp"

namespace audkit {

class AudView;

// Views filed in square cells of 50 x 50 units by the rectangles they were
// given, so that a rule asks which views lie near a place instead of
// comparing every pair. Cells beyond the extent given at construction (with
// one cell of margin) fold into its border cells: a rectangle reaching far
// off the screen costs no more than one covering the screen, and two
// rectangles that touch still share a cell.
class Grid {
public:
    static constexpr float cellSize = 50;

    explicit Grid(const AudBounds& extent);

    // Files the view in every cell its rectangle covers (both ends included);
    // filing a view twice lists it twice.
    void insert(const std::shared_ptr<AudView>& view, const AudBounds& rect);

    // The views of the cells the rectangle covers, column by column and row
    // by row, each once (by view equality) in the order first met.
    std::vector<std::shared_ptr<AudView>> views(const AudBounds& rect) const;

private:
    struct Range {
        std::int64_t first, last;
    };
    Range columns(const AudBounds& rect) const;
    Range rows(const AudBounds& rect) const;

    Range columnLimits_, rowLimits_;
    std::map<std::int64_t, std::map<std::int64_t, std::vector<std::shared_ptr<AudView>>>> grid_;
};

}  // namespace audkit
