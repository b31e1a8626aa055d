#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "audkit/base/json.hpp"
#include "audkit/tree/aud_color.hpp"

namespace audkit {

// Two colours measured on the screenshot around one text, their contrast, and
// what the text looked like: its estimated size, stroke width and boldness.
class AudColorContrast {
public:
    AudColorContrast(AudColor colorA, AudColor colorB, float estimatedFontSize, bool fontIsBold,
                     std::int64_t pixelDensity)
        : colorA(colorA),
          colorB(colorB),
          estimatedFontSize(estimatedFontSize),
          fontIsBold(fontIsBold),
          pixelDensity(pixelDensity) {}

    AudColor colorA;
    AudColor colorB;
    float estimatedFontSize;    // points, a whole number
    bool fontIsBold;            // the stroke reaches the bold width for the size
    std::int64_t pixelDensity;  // stroke width in pixels

    // The WCAG 2 contrast ratio rounded half away from zero to two decimals;
    // 0 when either colour is transparent.
    double contrast() const;

    // The same two colours, in either order.
    bool operator==(const AudColorContrast& other) const {
        return (colorA == other.colorA && colorB == other.colorB) || (colorA == other.colorB && colorB == other.colorA);
    }
};

// The WCAG 2 ratio of two colours' relative luminances, unrounded.
double contrastRatio(const AudColor& a, const AudColor& b);

// {"colorA", "colorB", "contrast", "estimatedFontSize", "fontIsBold",
// "pixelDensity"}; reading recomputes the contrast.
void to_json(Json& json, const AudColorContrast& pair);
AudColorContrast colorContrastFromJson(const Json& json);

}  // namespace audkit

template <>
struct std::hash<audkit::AudColorContrast> {
    // Does not depend on the order of the pair.
    std::size_t operator()(const audkit::AudColorContrast& pair) const {
        const auto& a = pair.colorA;
        const auto& b = pair.colorB;
        return (std::size_t(a.red & b.red) << 16U) | (std::size_t(a.green & b.green) << 8U) | (a.blue & b.blue);
    }
};
