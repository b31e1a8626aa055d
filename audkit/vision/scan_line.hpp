#pragma once

#include <cstdint>

#include "audkit/base/aud_rect.hpp"

namespace audkit {

// Which line a ScanLine lays across a rectangle, from edge to edge.
enum class LineKind { horizontal, vertical, diagonal, antiDiagonal };

// A straight line of pixels across a rectangle with integral corners: from
// its start point (read by the caller) one pixel at a time along its major
// axis, stopping one pixel before its end point.
class ScanLine {
public:
    struct Point {
        double x = 0, y = 0;
        bool operator==(const Point&) const = default;
    };

    ScanLine(const AudBounds& rect, LineKind kind);

    const Point& startPoint() const { return start_; }
    const Point& endPoint() const { return end_; }
    const Point& currentPoint() const { return current_; }
    void restart() { current_ = start_; }

    // Moves to the next pixel; false (and no move) once the end is reached.
    bool step();

private:
    Point start_, end_, current_;
    double slope_ = 0, constant_ = 0;
};

}  // namespace audkit
