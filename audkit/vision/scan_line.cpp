#include "audkit/vision/scan_line.hpp"

#include <cmath>
#include <optional>

#include "audkit/tree/aud_point.hpp"

namespace audkit {
namespace {

double whole(double value) { return std::trunc(value); }

// One step from `current` toward `end` along one axis; none once there.
std::optional<double> next(double current, double start, double end) {
    if (end < start) {
        const double value = current - 1;
        return value <= end ? std::nullopt : std::optional(value);
    }
    const double value = current + 1;
    return end <= value ? std::nullopt : std::optional(value);
}

}  // namespace

ScanLine::ScanLine(const AudBounds& rect, LineKind kind) {
    const auto centre = AudPoint::fromFloats(rect.left() + rect.width() * 0.5F, rect.top() + rect.height() * 0.5F);
    const double left = whole(rect.left()), right = whole(rect.right()) - 1;
    const double top = whole(rect.top()), bottom = whole(rect.bottom()) - 1;
    const auto cx = static_cast<double>(centre.x), cy = static_cast<double>(centre.y);
    switch (kind) {
        case LineKind::horizontal: start_ = {left, cy}, end_ = {right, cy}; break;
        case LineKind::vertical: start_ = {cx, top}, end_ = {cx, bottom}; break;
        case LineKind::diagonal: start_ = {left, top}, end_ = {right, bottom}; break;
        case LineKind::antiDiagonal: start_ = {right, top}, end_ = {left, bottom}; break;
    }
    slope_ = (end_.y - start_.y) / (end_.x - start_.x);
    constant_ = end_.y - slope_ * end_.x;
    current_ = start_;
}

bool ScanLine::step() {
    const double magnitude = std::abs(slope_);
    if (std::isfinite(magnitude) && magnitude <= 1) {
        const auto x = next(current_.x, start_.x, end_.x);
        if (!x) return false;
        current_ = {whole(*x), whole(std::round(slope_ * *x + constant_))};
        return true;
    }
    // Steep, vertical, or a single point (no slope): along y.
    const auto y = next(current_.y, start_.y, end_.y);
    if (!y) return false;
    const double x = std::isfinite(magnitude) ? std::round((*y - constant_) / slope_) : current_.x;
    current_ = {whole(x), whole(*y)};
    return true;
}

}  // namespace audkit
