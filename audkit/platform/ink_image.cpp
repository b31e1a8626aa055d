#include "audkit/platform/ink_image.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <deque>

namespace audkit {
namespace {

constexpr int cellSize = 8;        // pixels per cell of the background estimate
constexpr float flatShare = 0.9F;  // a cell this much of one grey value is flat
// A flat area is background when it has this many cells and is at least this
// many cells across both ways; smaller ones are the insides of thick strokes.
constexpr std::size_t backgroundCells = 16;
constexpr int backgroundAcross = 4;
constexpr int reach = 5;                // cells a background lends its value to; also the fallback's radius
constexpr std::uint8_t inkLevel = 160;  // darker than this is ink
constexpr int longestGlyphRun = 120;    // pixels: a straight run longer than this is a line, not a glyph
// Each pixel's distance from its background is measured against the
// strongest distance nearby, so faint text comes out as dark as strong text
// and a glyph's edge stays where its ink is half there. The strongest is
// taken as at least this much: on a flat background any difference is ink,
// on a textured one (a picture, a gradient) small differences are texture.
constexpr int flatFloor = 12;
constexpr int texturedFloor = 64;

// The four neighbouring cells of a cell.
constexpr std::array<std::array<int, 2>, 4> steps{{{1, 0}, {-1, 0}, {0, 1}, {0, -1}}};

std::vector<std::uint8_t> luma(const RgbaImage& image) {
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(image.width) * image.height);
    for (std::size_t i = 0; i < grey.size(); ++i) {
        const auto* pixel = image.pixels.data() + i * 4;
        grey[i] = static_cast<std::uint8_t>((299 * pixel[0] + 587 * pixel[1] + 114 * pixel[2] + 500) / 1000);
    }
    return grey;
}

struct Cells {
    int columns = 0, rows = 0;
    std::vector<std::uint8_t> mode;  // the most common grey value of each cell
    std::vector<bool> flat;

    std::size_t at(int x, int y) const { return static_cast<std::size_t>(y) * columns + x; }
};

Cells measureCells(const std::vector<std::uint8_t>& grey, int width, int height) {
    Cells cells;
    cells.columns = (width + cellSize - 1) / cellSize;
    cells.rows = (height + cellSize - 1) / cellSize;
    cells.mode.resize(static_cast<std::size_t>(cells.columns) * cells.rows);
    cells.flat.resize(cells.mode.size());
    std::array<int, 256> counts{};  // emptied again after each cell, not refilled with zeros
    for (int cy = 0; cy < cells.rows; ++cy) {
        for (int cx = 0; cx < cells.columns; ++cx) {
            const int x0 = cx * cellSize, x1 = std::min(width, x0 + cellSize);
            const int y0 = cy * cellSize, y1 = std::min(height, y0 + cellSize);
            int mode = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) {
                    const auto value = grey[static_cast<std::size_t>(y) * width + x];
                    if (++counts[value] > counts[mode] || (counts[value] == counts[mode] && value < mode)) mode = value;
                }
            cells.flat[cells.at(cx, cy)] =
                static_cast<float>(counts[mode]) >= flatShare * static_cast<float>((x1 - x0) * (y1 - y0));
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) counts[grey[static_cast<std::size_t>(y) * width + x]] = 0;
            cells.mode[cells.at(cx, cy)] = static_cast<std::uint8_t>(mode);
        }
    }
    return cells;
}

// The cells that belong to a large flat area of one grey value.
std::vector<bool> backgroundCellsOf(const Cells& cells) {
    std::vector<bool> background(cells.mode.size()), seen(cells.mode.size());
    std::vector<std::size_t> area;
    std::deque<std::size_t> queue;
    for (std::size_t start = 0; start < cells.mode.size(); ++start) {
        if (!cells.flat[start] || seen[start]) continue;
        area.clear();
        queue.assign(1, start);
        seen[start] = true;
        int left = cells.columns, right = -1, top = cells.rows, bottom = -1;
        while (!queue.empty()) {
            const auto index = queue.front();
            queue.pop_front();
            area.push_back(index);
            const int x = static_cast<int>(index % cells.columns), y = static_cast<int>(index / cells.columns);
            left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
            for (const auto& [dx, dy] : steps) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= cells.columns || ny >= cells.rows) continue;
                const auto next = cells.at(nx, ny);
                if (seen[next] || !cells.flat[next] || cells.mode[next] != cells.mode[index]) continue;
                seen[next] = true;
                queue.push_back(next);
            }
        }
        if (area.size() >= backgroundCells && right - left + 1 >= backgroundAcross &&
            bottom - top + 1 >= backgroundAcross)
            for (const auto index : area) background[index] = true;
    }
    return background;
}

// Each cell's background: its own when it is background, else that of the
// nearest background cell within reach; where none is that near (pictures,
// gradients), the median of the cells around.
struct Background {
    std::vector<std::uint8_t> value;
    std::vector<bool> flat;  // lent by a flat background, not the median of a texture
};

Background backgroundOf(const Cells& cells, const std::vector<bool>& isBackground) {
    std::vector<std::uint8_t> value(cells.mode.size());
    std::vector<int> distance(cells.mode.size(), -1);
    std::deque<std::size_t> queue;
    for (std::size_t index = 0; index < cells.mode.size(); ++index) {
        if (!isBackground[index]) continue;
        value[index] = cells.mode[index];
        distance[index] = 0;
        queue.push_back(index);
    }
    while (!queue.empty()) {
        const auto index = queue.front();
        queue.pop_front();
        if (distance[index] >= reach) continue;
        const int x = static_cast<int>(index % cells.columns), y = static_cast<int>(index / cells.columns);
        for (const auto& [dx, dy] : steps) {
            const int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= cells.columns || ny >= cells.rows) continue;
            const auto next = cells.at(nx, ny);
            if (distance[next] >= 0) continue;
            distance[next] = distance[index] + 1;
            value[next] = value[index];
            queue.push_back(next);
        }
    }
    std::vector<std::uint8_t> window;
    for (int cy = 0; cy < cells.rows; ++cy) {
        for (int cx = 0; cx < cells.columns; ++cx) {
            if (distance[cells.at(cx, cy)] >= 0) continue;
            window.clear();
            for (int y = std::max(cy - reach, 0); y <= std::min(cy + reach, cells.rows - 1); ++y)
                for (int x = std::max(cx - reach, 0); x <= std::min(cx + reach, cells.columns - 1); ++x)
                    window.push_back(cells.mode[cells.at(x, y)]);
            std::nth_element(window.begin(), window.begin() + window.size() / 2, window.end());
            value[cells.at(cx, cy)] = window[window.size() / 2];
        }
    }
    std::vector<bool> flat(cells.mode.size());
    for (std::size_t index = 0; index < flat.size(); ++index) flat[index] = distance[index] >= 0;
    return {std::move(value), std::move(flat)};
}

// Borders, separators, underlines and slider tracks: ink running straight
// for longer than any glyph. Recognition reads boxed text worse, so they go.
void eraseLongLines(std::vector<std::uint8_t>& ink, int width, int height) {
    const auto erase = [&](int count, int length, auto at) {
        for (int line = 0; line < count; ++line) {
            int start = 0;
            for (int i = 0; i <= length; ++i) {
                if (i < length && ink[at(line, i)] < inkLevel) continue;
                if (i - start >= longestGlyphRun)
                    for (int j = start; j < i; ++j) ink[at(line, j)] = 255;
                start = i + 1;
            }
        }
    };
    const auto w = static_cast<std::size_t>(width);
    erase(height, width, [&](int row, int column) { return static_cast<std::size_t>(row) * w + column; });
    erase(width, height, [&](int column, int row) { return static_cast<std::size_t>(row) * w + column; });
}

}  // namespace

std::vector<std::uint8_t> inkImage(const RgbaImage& image) {
    const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
    const auto grey = luma(image);
    const auto cells = measureCells(grey, width, height);
    const auto isBackground = backgroundCellsOf(cells);
    const auto [background, flat] = backgroundOf(cells, isBackground);
    // A pixel on the border of two backgrounds (a row or button meeting the
    // page) is measured against the nearer of its own cell's and its
    // neighbours', and a blend of two of them (the anti-aliased edge) is no ink.
    std::vector<std::uint8_t> distances(grey.size());
    std::vector<std::uint8_t> strongest(cells.mode.size());
    for (int y = 0; y < height; ++y) {
        const int cy = y / cellSize;
        for (int x = 0; x < width; ++x) {
            const int cx = x / cellSize;
            const auto index = static_cast<std::size_t>(y) * width + x;
            const int value = grey[index];
            int nearest = background[cells.at(cx, cy)], lowest = nearest, highest = nearest;
            for (const auto& [dx, dy] : steps) {
                const int nx = cx + dx, ny = cy + dy;
                if (nx < 0 || ny < 0 || nx >= cells.columns || ny >= cells.rows || !isBackground[cells.at(nx, ny)])
                    continue;
                const int other = background[cells.at(nx, ny)];
                if (std::abs(value - other) < std::abs(value - nearest)) nearest = other;
                lowest = std::min(lowest, other), highest = std::max(highest, other);
            }
            const auto distance =
                static_cast<std::uint8_t>(lowest < value && value < highest ? 0 : std::abs(value - nearest));
            distances[index] = distance;
            auto& cellMost = strongest[cells.at(cx, cy)];
            cellMost = std::max(cellMost, distance);
        }
    }
    std::vector<std::uint8_t> out(grey.size());
    for (int y = 0; y < height; ++y) {
        const int cy = y / cellSize;
        for (int x = 0; x < width; ++x) {
            const int cx = x / cellSize;
            int most = flat[cells.at(cx, cy)] ? flatFloor : texturedFloor;
            for (int ny = std::max(cy - 1, 0); ny <= std::min(cy + 1, cells.rows - 1); ++ny)
                for (int nx = std::max(cx - 1, 0); nx <= std::min(cx + 1, cells.columns - 1); ++nx)
                    most = std::max<int>(most, strongest[cells.at(nx, ny)]);
            const auto index = static_cast<std::size_t>(y) * width + x;
            // Half the strongest distance nearby is full ink.
            out[index] = static_cast<std::uint8_t>(255 - std::min(255, 2 * 255 * distances[index] / most));
        }
    }
    eraseLongLines(out, width, height);
    return out;
}

}  // namespace audkit
