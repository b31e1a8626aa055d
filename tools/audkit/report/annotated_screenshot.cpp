#include "tools/audkit/report/annotated_screenshot.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace audkit::cli {
namespace {

// Digits and the comma in a 3 x 5 pixel font, one row per element, bit 2 left.
constexpr std::array<std::array<std::uint8_t, 5>, 11> glyphs{{
    {7, 5, 5, 5, 7},  // 0
    {2, 6, 2, 2, 7},  // 1
    {7, 1, 7, 4, 7},  // 2
    {7, 1, 7, 1, 7},  // 3
    {5, 5, 7, 1, 1},  // 4
    {7, 4, 7, 1, 7},  // 5
    {7, 4, 7, 5, 7},  // 6
    {7, 1, 1, 1, 1},  // 7
    {7, 5, 7, 5, 7},  // 8
    {7, 5, 7, 1, 7},  // 9
    {0, 0, 0, 2, 4},  // ,
}};

long tagWidth(const std::string& text, long dot) { return static_cast<long>(text.size()) * 4 * dot + dot; }
long tagHeight(long dot) { return 7 * dot; }

struct Area {
    long left, top, right, bottom;
    bool overlaps(const Area& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
};

// Where a box's tag goes: above its top-left corner, else inside it, below
// it, or the same at its right end: the first place that stays in the image
// and covers no tag already placed. Where every one would, the first is moved
// down past the tags it covers.
Area tagPlace(const AudBounds& bounds, long width, long height, long imageWidth, long imageHeight,
              const std::vector<Area>& placed) {
    const long left = std::lround(bounds.left()), top = std::lround(bounds.top());
    const long right = std::lround(bounds.right()), bottom = std::lround(bounds.bottom());
    const auto at = [&](long x, long y) {
        x = std::clamp(x, 0L, std::max(0L, imageWidth - width));
        return Area{x, y, x + width, y + height};
    };
    const auto uncovered = [&](const Area& area) {
        return std::none_of(placed.begin(), placed.end(), [&](const Area& other) { return area.overlaps(other); });
    };
    std::vector<Area> candidates;
    for (const long x : {left, right - width})
        for (const long y : {top - height, top, bottom}) candidates.push_back(at(x, y));
    for (const auto& candidate : candidates)
        if (candidate.top >= 0 && candidate.bottom <= imageHeight && uncovered(candidate)) return candidate;
    auto area = at(left, std::max(0L, top - height));
    for (std::size_t moves = 0; moves <= placed.size() && !uncovered(area); ++moves)
        for (const auto& other : placed)
            if (area.overlaps(other)) area = at(area.left, other.bottom);
    return area;
}

class Canvas {
public:
    explicit Canvas(RgbaImage& image) : image_(image) {}

    void fill(long left, long top, long right, long bottom, BoxColour colour) {
        left = std::max(left, 0L), top = std::max(top, 0L);
        right = std::min(right, static_cast<long>(image_.width));
        bottom = std::min(bottom, static_cast<long>(image_.height));
        for (long y = top; y < bottom; ++y)
            for (long x = left; x < right; ++x) {
                auto* pixel = &image_.pixels[(static_cast<std::size_t>(y) * image_.width + static_cast<std::size_t>(x)) * 4];
                pixel[0] = colour.red, pixel[1] = colour.green, pixel[2] = colour.blue, pixel[3] = 255;
            }
    }

    void outline(long left, long top, long right, long bottom, long thickness, BoxColour colour) {
        fill(left, top, right, top + thickness, colour);
        fill(left, bottom - thickness, right, bottom, colour);
        fill(left, top, left + thickness, bottom, colour);
        fill(right - thickness, top, right, bottom, colour);
    }

    // The text (digits and commas) in white on a tag of the colour, its
    // top-left corner at (x, y); returns nothing, clipped at the edges.
    void tag(long x, long y, const std::string& text, long dot, BoxColour colour) {
        const long advance = 4 * dot;
        fill(x, y, x + tagWidth(text, dot), y + tagHeight(dot), colour);
        long pen = x + dot;
        for (const char c : text) {
            const auto& glyph = glyphs[c == ',' ? 10 : static_cast<std::size_t>(c - '0')];
            for (long row = 0; row < 5; ++row)
                for (long column = 0; column < 3; ++column)
                    if (glyph[static_cast<std::size_t>(row)] & (4 >> column))
                        fill(pen + column * dot, y + dot + row * dot, pen + (column + 1) * dot, y + dot + (row + 1) * dot,
                             {255, 255, 255});
            pen += advance;
        }
    }

private:
    RgbaImage& image_;
};

}  // namespace

BoxColour boxColour(AudStatus status) {
    return status == AudStatus::fail ? BoxColour{211, 47, 47} : BoxColour{239, 108, 0};
}

RgbaImage annotatedScreenshot(RgbaImage screenshot, const std::vector<Finding>& findings, float scale) {
    const auto boxes = findingBoxes(findings);
    Canvas canvas(screenshot);
    // Lines and digits a point or two thick, whatever the screen's density.
    const long thickness = std::max(2L, std::lround(scale));
    const long dot = std::max(2L, std::lround(scale * 2));
    for (const auto& box : boxes) {
        const auto& bounds = box.view->boundsInScreen;
        const long left = std::lround(bounds.left()), top = std::lround(bounds.top());
        const long right = std::lround(bounds.right()), bottom = std::lround(bounds.bottom());
        canvas.outline(left, top, right, bottom, thickness, boxColour(box.worst));
    }
    // Tags last, so no box crosses a number; no tag hides another.
    std::vector<Area> placed;
    for (const auto& box : boxes) {
        placed.push_back(tagPlace(box.view->boundsInScreen, tagWidth(box.numbers, dot), tagHeight(dot),
                                  screenshot.width, screenshot.height, placed));
        canvas.tag(placed.back().left, placed.back().top, box.numbers, dot, boxColour(box.worst));
    }
    return screenshot;
}

}  // namespace audkit::cli
