#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <string>

#include "audkit/base/json.hpp"

namespace audkit {

// The platform's rectangle: origin and size as 64-bit floats. Width and height
// may be negative until the rectangle is standardised.
struct PlatformRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool operator==(const PlatformRect&) const = default;
};

// The constructors every rectangle type shares, on top of its designated
// constructor from left, right, top, bottom.
template <class Self>
struct Frame {
    static Self withOrigin(float x, float y, float width, float height) { return Self(x, x + width, y, y + height); }

    // Coordinates beyond a billion points (no screen has them) are clamped
    // there, so every later sum, scale and distance stays finite.
    static constexpr double farthestPoint = 1e9;

    static Self fromPlatform(const PlatformRect& rect) {
        const auto clamp = [](double value) {
            return std::isnan(value) ? 0.0 : std::clamp(value, -farthestPoint, farthestPoint);
        };
        double x = clamp(rect.x), y = clamp(rect.y), width = clamp(rect.width), height = clamp(rect.height);
        if (width < 0) {
            x += width;
            width = -width;
        }
        if (height < 0) {
            y += height;
            height = -height;
        }
        return withOrigin(static_cast<float>(x), static_cast<float>(y), static_cast<float>(width),
                          static_cast<float>(height));
    }
};

// A rectangle in screen coordinates (y grows downwards). The constructor
// replaces non-finite values and never leaves a negative width or height.
class AudRect : public Frame<AudRect> {
public:
    AudRect() = default;
    AudRect(float left, float right, float top, float bottom);

    // Stores the values as they are, without the dimension check (JSON reading).
    static AudRect unchecked(float left, float right, float top, float bottom);

    float left() const { return left_; }
    float right() const { return right_; }
    float top() const { return top_; }
    float bottom() const { return bottom_; }
    float width() const { return right_ - left_; }
    float height() const { return bottom_ - top_; }

    std::string description() const;

    // Equality and hashing look at the coordinates truncated toward zero.
    bool operator==(const AudRect& other) const;
    std::size_t hash() const;

protected:
    std::string describeAs(const char* typeName) const;

    float left_ = 0;
    float right_ = 0;
    float top_ = 0;
    float bottom_ = 0;
};

// The rectangle stored on views and in results (pixels or points, as the field says).
class AudBounds : public AudRect, public Frame<AudBounds> {
public:
    using Frame<AudBounds>::withOrigin;
    using Frame<AudBounds>::fromPlatform;

    AudBounds() = default;
    AudBounds(float left, float right, float top, float bottom) : AudRect(left, right, top, bottom) {}
    explicit AudBounds(const AudRect& rect) : AudRect(rect) {}

    static AudBounds unchecked(float left, float right, float top, float bottom) {
        return AudBounds(AudRect::unchecked(left, right, top, bottom));
    }

    std::string description() const;

    // |other.height / height * 100 - 100|; self stands in for a missing other.
    float heightDifferencePercent(const std::optional<AudBounds>& other = std::nullopt) const;
};

void to_json(Json& json, const AudRect& rect);
void from_json(const Json& json, AudRect& rect);
void to_json(Json& json, const AudBounds& bounds);
void from_json(const Json& json, AudBounds& bounds);

}  // namespace audkit

template <>
struct std::hash<audkit::AudRect> {
    std::size_t operator()(const audkit::AudRect& rect) const { return rect.hash(); }
};
template <>
struct std::hash<audkit::AudBounds> {
    std::size_t operator()(const audkit::AudBounds& bounds) const { return bounds.hash(); }
};
