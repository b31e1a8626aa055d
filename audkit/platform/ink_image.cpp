#include "audkit/platform/ink_image.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <deque>

#include "audkit/platform/ink_marks.hpp"

namespace audkit {
namespace {

constexpr int cellSize = 8;        // pixels per cell of the background estimate
constexpr float flatShare = 0.9F;  // a cell this much of one grey value is flat
// A flat area is background when it is at least this many cells across
// both ways and either holds a square of this many cells a side or has
// many cells: the insides of the strokes of large bold text are thin and
// small, though their stem and foot may make a wide area (an "L"); a strip
// of background between two rows of pills is thin but long.
constexpr int backgroundAcross = 4;
constexpr int backgroundThickness = 3;
constexpr std::size_t thinBackgroundCells = 64;
constexpr int reach = 5;  // cells a background lends its value to; also the fallback's radius
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
    std::vector<bool> uniform;  // one grey value throughout

    std::size_t at(int x, int y) const { return static_cast<std::size_t>(y) * columns + x; }
};

Cells measureCells(const std::vector<std::uint8_t>& grey, int width, int height) {
    Cells cells;
    cells.columns = (width + cellSize - 1) / cellSize;
    cells.rows = (height + cellSize - 1) / cellSize;
    cells.mode.resize(static_cast<std::size_t>(cells.columns) * cells.rows);
    cells.flat.resize(cells.mode.size());
    cells.uniform.resize(cells.mode.size());
    std::array<int, 256> counts{};  // emptied again after each cell, not refilled with zeros
    for (int cy = 0; cy < cells.rows; ++cy) {
        for (int cx = 0; cx < cells.columns; ++cx) {
            const int x0 = cx * cellSize, x1 = std::min(width, x0 + cellSize);
            const int y0 = cy * cellSize, y1 = std::min(height, y0 + cellSize);
            // Most cells of a screen are one value throughout: no counting.
            const auto first = grey[static_cast<std::size_t>(y0) * width + x0];
            bool uniform = true;
            for (int y = y0; y < y1 && uniform; ++y) {
                const auto* row = grey.data() + static_cast<std::size_t>(y) * width;
                uniform = std::all_of(row + x0, row + x1, [first](std::uint8_t value) { return value == first; });
            }
            if (uniform) {
                cells.flat[cells.at(cx, cy)] = cells.uniform[cells.at(cx, cy)] = true;
                cells.mode[cells.at(cx, cy)] = first;
                continue;
            }
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

// The cells that belong to a thick flat area of one grey value.
std::vector<bool> backgroundCellsOf(const Cells& cells) {
    std::vector<bool> background(cells.mode.size()), seen(cells.mode.size());
    // Per cell, the side of the largest square of the current area that
    // ends there (down and to the right).
    std::vector<int> square(cells.mode.size());
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
        if (right - left + 1 < backgroundAcross || bottom - top + 1 < backgroundAcross) continue;
        if (area.size() >= thinBackgroundCells) {
            for (const auto index : area) background[index] = true;
            continue;
        }
        // Row-major order lets each cell build on its upper and left neighbours.
        std::sort(area.begin(), area.end());
        const auto inArea = [&](int x, int y) {
            if (x < 0 || y < 0) return false;
            const auto index = cells.at(x, y);
            return std::binary_search(area.begin(), area.end(), index);
        };
        bool thick = false;
        for (const auto index : area) {
            const int x = static_cast<int>(index % cells.columns), y = static_cast<int>(index / cells.columns);
            const int up = inArea(x, y - 1) ? square[cells.at(x, y - 1)] : 0;
            const int left = inArea(x - 1, y) ? square[cells.at(x - 1, y)] : 0;
            const int diagonal = inArea(x - 1, y - 1) ? square[cells.at(x - 1, y - 1)] : 0;
            square[index] = 1 + std::min({up, left, diagonal});
            if (square[index] >= backgroundThickness) {
                thick = true;
                break;
            }
        }
        if (thick)
            for (const auto index : area) background[index] = true;
    }
    return background;
}

// Whether a cell is part of a picture rather than on the background lent to
// it: rough (its neighbouring pixels differ, unlike a gradient's) and
// showing none of that background, unlike a glyph's cell, whose strokes
// leave some of it between them, or the inside of a stroke, which is flat.
bool onPicture(const std::vector<std::uint8_t>& grey, int width, int height, const Cells& cells, std::size_t index,
               int value) {
    constexpr int closeTo = 8, fewestShown = 4, roughness = 3;
    if (cells.flat[index]) return false;
    const int cx = static_cast<int>(index % cells.columns), cy = static_cast<int>(index / cells.columns);
    const int x0 = cx * cellSize, x1 = std::min(width, x0 + cellSize);
    const int y0 = cy * cellSize, y1 = std::min(height, y0 + cellSize);
    int shown = 0, steps = 0, change = 0;
    for (int y = y0; y < y1; ++y) {
        const auto* row = grey.data() + static_cast<std::size_t>(y) * width;
        for (int x = x0; x < x1; ++x) {
            shown += std::abs(row[x] - value) <= closeTo ? 1 : 0;
            if (x + 1 < x1) ++steps, change += std::abs(row[x + 1] - row[x]);
        }
    }
    return shown < fewestShown && change >= roughness * steps;
}

// Each cell's background: its own when it is background, else that of the
// nearest background cell within reach, which is not lent on to a picture;
// where none is that near (pictures, gradients), the median of the cells around.
struct Background {
    std::vector<std::uint8_t> value;
    std::vector<bool> flat;  // lent by a flat background, not the median of a texture
};

Background backgroundOf(const std::vector<std::uint8_t>& grey, int width, int height, const Cells& cells,
                        const std::vector<bool>& isBackground) {
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
            if (distance[next] >= 0 || onPicture(grey, width, height, cells, next, value[index])) continue;
            distance[next] = distance[index] + 1;
            value[next] = value[index];
            queue.push_back(next);
        }
    }
    std::vector<std::uint8_t> window;
    for (int cy = 0; cy < cells.rows; ++cy) {
        for (int cx = 0; cx < cells.columns; ++cx) {
            if (distance[cells.at(cx, cy)] >= 0) continue;
            // Amid texture the flat cells are the insides of strokes: large
            // bold text can fill half the window, and would be its median.
            window.clear();
            for (int y = std::max(cy - reach, 0); y <= std::min(cy + reach, cells.rows - 1); ++y)
                for (int x = std::max(cx - reach, 0); x <= std::min(cx + reach, cells.columns - 1); ++x)
                    if (!cells.flat[cells.at(x, y)]) window.push_back(cells.mode[cells.at(x, y)]);
            if (window.size() < 2 * static_cast<std::size_t>(reach * reach)) {
                window.clear();
                for (int y = std::max(cy - reach, 0); y <= std::min(cy + reach, cells.rows - 1); ++y)
                    for (int x = std::max(cx - reach, 0); x <= std::min(cx + reach, cells.columns - 1); ++x)
                        window.push_back(cells.mode[cells.at(x, y)]);
            }
            std::nth_element(window.begin(), window.begin() + window.size() / 2, window.end());
            value[cells.at(cx, cy)] = window[window.size() / 2];
        }
    }
    std::vector<bool> flat(cells.mode.size());
    for (std::size_t index = 0; index < flat.size(); ++index) flat[index] = distance[index] >= 0;
    return {std::move(value), std::move(flat)};
}

// The backgrounds a pixel of a cell is measured against: its own cell's and
// those of its eight neighbouring background cells (the corner of a card or the
// tangent of a pill's round end meets its cell diagonally).
struct CellBackgrounds {
    std::array<int, 9> values{};
    int count = 0, lowest = 0, highest = 0;
    // The backgrounds of the cells up to two away, each once, for rims.
    std::array<int, 25> around{};
    int aroundCount = 0;
};

CellBackgrounds cellBackgrounds(const Cells& cells, const std::vector<bool>& isBackground,
                                const std::vector<std::uint8_t>& background, int cx, int cy) {
    CellBackgrounds near;
    near.values[near.count++] = background[cells.at(cx, cy)];
    near.lowest = near.highest = near.values[0];
    for (int ny = std::max(cy - 1, 0); ny <= std::min(cy + 1, cells.rows - 1); ++ny)
        for (int nx = std::max(cx - 1, 0); nx <= std::min(cx + 1, cells.columns - 1); ++nx) {
            if ((nx == cx && ny == cy) || !isBackground[cells.at(nx, ny)]) continue;
            const int other = background[cells.at(nx, ny)];
            near.values[near.count++] = other;
            near.lowest = std::min(near.lowest, other), near.highest = std::max(near.highest, other);
        }
    for (int ny = std::max(cy - 2, 0); ny <= std::min(cy + 2, cells.rows - 1); ++ny)
        for (int nx = std::max(cx - 2, 0); nx <= std::min(cx + 2, cells.columns - 1); ++nx) {
            if (!isBackground[cells.at(nx, ny)] && (nx != cx || ny != cy)) continue;
            const int value = background[cells.at(nx, ny)];
            const auto end = near.around.begin() + near.aroundCount;
            if (std::find(near.around.begin(), end, value) == end) near.around[near.aroundCount++] = value;
        }
    return near;
}

// A grey value's distance from the nearest of a cell's backgrounds; none
// for a blend of two of them (the anti-aliased edge between a row and the page).
int distanceOf(int value, const CellBackgrounds& near) {
    if (near.lowest < value && value < near.highest) return 0;
    int nearest = near.values[0];
    for (int i = 1; i < near.count; ++i)
        if (std::abs(value - near.values[i]) < std::abs(value - nearest)) nearest = near.values[i];
    return std::abs(value - nearest);
}

// Whether a pixel is the anti-aliased rim between two backgrounds near its
// cell (the round end of a pill, the corner of a card), which the cell's
// neighbours alone do not always reveal: its value lies between the two, and
// both show within two pixels of it. The rim of a glyph lies between the
// text's colour and one background only.
bool onRim(const std::vector<std::uint8_t>& grey, int width, int height, int x, int y, int value,
           const CellBackgrounds& near) {
    constexpr int radius = 2, closeTo = 8;
    int darkest = 255, lightest = 0;
    for (int ny = std::max(y - radius, 0); ny <= std::min(y + radius, height - 1); ++ny) {
        const auto* row = grey.data() + static_cast<std::size_t>(ny) * width;
        for (int nx = std::max(x - radius, 0); nx <= std::min(x + radius, width - 1); ++nx)
            darkest = std::min<int>(darkest, row[nx]), lightest = std::max<int>(lightest, row[nx]);
    }
    for (int i = 0; i < near.aroundCount; ++i) {
        const int low = near.around[i];
        if (low >= value || darkest > low + closeTo) continue;
        for (int j = 0; j < near.aroundCount; ++j) {
            const int high = near.around[j];
            if (high > value && lightest >= high - closeTo) return true;
        }
    }
    return false;
}

}  // namespace

std::vector<std::uint8_t> inkImage(const RgbaImage& image) {
    const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
    const auto grey = luma(image);
    const auto cells = measureCells(grey, width, height);
    const auto isBackground = backgroundCellsOf(cells);
    const auto [background, flat] = backgroundOf(grey, width, height, cells, isBackground);
    // A pixel on the border of two backgrounds (a row or button meeting the
    // page) is measured against the nearer of its own cell's and its
    // neighbours', and a blend of two of them (the anti-aliased edge) is no ink.
    std::vector<std::uint8_t> distances(grey.size());
    std::vector<std::uint8_t> strongest(cells.mode.size());
    for (int cy = 0; cy < cells.rows; ++cy) {
        const int y0 = cy * cellSize, y1 = std::min(height, y0 + cellSize);
        for (int cx = 0; cx < cells.columns; ++cx) {
            const int x0 = cx * cellSize, x1 = std::min(width, x0 + cellSize);
            const auto near = cellBackgrounds(cells, isBackground, background, cx, cy);
            // Most of a screen is cells of their background's value alone:
            // their distances stay nought.
            if (cells.uniform[cells.at(cx, cy)] && distanceOf(cells.mode[cells.at(cx, cy)], near) == 0) continue;
            int most = 0;
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x) {
                    const auto index = static_cast<std::size_t>(y) * width + x;
                    const int value = grey[index];
                    int distance = distanceOf(value, near);
                    if (distance > 0 && near.aroundCount > 1 && onRim(grey, width, height, x, y, value, near))
                        distance = 0;
                    distances[index] = static_cast<std::uint8_t>(distance);
                    most = std::max(most, distance);
                }
            }
            strongest[cells.at(cx, cy)] = static_cast<std::uint8_t>(most);
        }
    }
    // Half the strongest distance nearby is full ink: ink[most][distance].
    std::vector<std::uint8_t> inkOf(256 * 256);
    for (int most = 1; most < 256; ++most)
        for (int distance = 0; distance < 256; ++distance)
            inkOf[static_cast<std::size_t>(most) * 256 + distance] =
                static_cast<std::uint8_t>(255 - std::min(255, 2 * 255 * distance / most));
    // Each distance becomes its ink in place: a screenshot's worth of bytes
    // less held while the screen is read.
    for (int cy = 0; cy < cells.rows; ++cy) {
        const int y0 = cy * cellSize, y1 = std::min(height, y0 + cellSize);
        for (int cx = 0; cx < cells.columns; ++cx) {
            const int x0 = cx * cellSize, x1 = std::min(width, x0 + cellSize);
            int most = flat[cells.at(cx, cy)] ? flatFloor : texturedFloor;
            for (int ny = std::max(cy - 1, 0); ny <= std::min(cy + 1, cells.rows - 1); ++ny)
                for (int nx = std::max(cx - 1, 0); nx <= std::min(cx + 1, cells.columns - 1); ++nx)
                    most = std::max<int>(most, strongest[cells.at(nx, ny)]);
            const auto* table = inkOf.data() + static_cast<std::size_t>(most) * 256;
            for (int y = y0; y < y1; ++y) {
                const auto row = static_cast<std::size_t>(y) * width;
                for (int x = x0; x < x1; ++x) distances[row + x] = table[distances[row + x]];
            }
        }
    }
    eraseMarksThatAreNoText(distances, width, height);
    return distances;
}

}  // namespace audkit
