#include "audkit/platform/ink_marks.hpp"

#include <algorithm>

#include "audkit/platform/ink_image.hpp"

namespace audkit {
namespace {

constexpr int longestGlyphRun = 120;  // pixels: a straight run longer than this is a line, not a glyph
constexpr int blockSize = 8;          // pixels a side of the blocks that note where lines went

// What a pass over lines erased.
struct Erased {
    std::vector<bool> pixels;
    std::vector<bool> blocks;  // of blockSize pixels a side, those with a pixel that went
    int columns = 0;
};

// Borders, separators, underlines and slider tracks: ink running straight
// for longer than any glyph. Recognition reads boxed text worse, so they go.
// Rows first, then columns; the columns are walked row by row, with a run
// length per column, so that the image is read in memory order.
Erased eraseLongLines(std::vector<std::uint8_t>& ink, int width, int height) {
    const auto w = static_cast<std::size_t>(width);
    Erased erased;
    erased.pixels.resize(ink.size());
    erased.columns = (width + blockSize - 1) / blockSize;
    erased.blocks.resize(static_cast<std::size_t>(erased.columns) * ((height + blockSize - 1) / blockSize));
    const auto erase = [&](int x, int y) {
        ink[y * w + x] = 255;
        erased.pixels[y * w + x] = true;
        erased.blocks[static_cast<std::size_t>(y / blockSize) * erased.columns + x / blockSize] = true;
    };
    for (int row = 0; row < height; ++row) {
        const auto* line = ink.data() + static_cast<std::size_t>(row) * w;
        int start = 0;
        for (int i = 0; i <= width; ++i) {
            if (i < width && line[i] < inkLevel) continue;
            if (i - start >= longestGlyphRun)
                for (int x = start; x < i; ++x) erase(x, row);
            start = i + 1;
        }
    }
    std::vector<int> run(w, 0);
    const auto eraseColumn = [&](int column, int end) {
        for (int row = end - run[column]; row < end; ++row) erase(column, row);
    };
    for (int row = 0; row < height; ++row) {
        const auto* line = ink.data() + static_cast<std::size_t>(row) * w;
        for (int column = 0; column < width; ++column) {
            if (line[column] < inkLevel) {
                ++run[column];
                continue;
            }
            if (run[column] >= longestGlyphRun) eraseColumn(column, row);
            run[column] = 0;
        }
    }
    for (int column = 0; column < width; ++column)
        if (run[column] >= longestGlyphRun) eraseColumn(column, height);
    return erased;
}

// A mark of connected ink pixels (eight neighbours) and its box.
struct Mark {
    std::vector<std::size_t> pixels;
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The mark holding `start`, each of its pixels noted as seen.
Mark markAt(const std::vector<std::uint8_t>& ink, int width, int height, std::size_t start, std::vector<bool>& seen) {
    const auto w = static_cast<std::size_t>(width);
    Mark mark{{}, width, height, -1, -1};
    std::vector<std::size_t> queue{start};
    seen[start] = true;
    while (!queue.empty()) {
        const auto index = queue.back();
        queue.pop_back();
        mark.pixels.push_back(index);
        const int x = static_cast<int>(index % w), y = static_cast<int>(index / w);
        mark.left = std::min(mark.left, x), mark.right = std::max(mark.right, x);
        mark.top = std::min(mark.top, y), mark.bottom = std::max(mark.bottom, y);
        for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, height - 1); ++ny)
            for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, width - 1); ++nx) {
                const auto next = ny * w + nx;
                if (seen[next] || ink[next] >= inkLevel) continue;
                seen[next] = true;
                queue.push_back(next);
            }
    }
    return mark;
}

// The blocks within a block of one that lost pixels: where a mark may meet
// an erased line.
std::vector<bool> blocksNearLines(const Erased& erased) {
    const int rows = static_cast<int>(erased.blocks.size()) / erased.columns;
    std::vector<bool> near(erased.blocks.size());
    for (int by = 0; by < rows; ++by)
        for (int bx = 0; bx < erased.columns; ++bx) {
            if (!erased.blocks[static_cast<std::size_t>(by) * erased.columns + bx]) continue;
            for (int ny = std::max(by - 1, 0); ny <= std::min(by + 1, rows - 1); ++ny)
                for (int nx = std::max(bx - 1, 0); nx <= std::min(bx + 1, erased.columns - 1); ++nx)
                    near[static_cast<std::size_t>(ny) * erased.columns + nx] = true;
        }
    return near;
}

// The sides of a rounded box (a text field, a card) whose long edges went
// are too short to be lines themselves, and read as a bracket glued to the
// text inside. A thin mark that meets erased lines at both ends is such a
// side; a glyph meets at most one (an underline, a separator).
void eraseBoxSides(std::vector<std::uint8_t>& ink, const Erased& erased, int width, int height) {
    constexpr int meets = 2;     // pixels between a side's end and the line it meets
    constexpr int thinness = 4;  // a thin mark has at most this many pixels per pixel of its box's height and width
    const auto w = static_cast<std::size_t>(width);
    const auto nearErased = [&](int x, int y) {
        for (int ny = std::max(y - meets, 0); ny <= std::min(y + meets, height - 1); ++ny)
            for (int nx = std::max(x - meets, 0); nx <= std::min(x + meets, width - 1); ++nx)
                if (erased.pixels[ny * w + nx]) return true;
        return false;
    };
    const auto nearLine = blocksNearLines(erased);
    std::vector<bool> seen(ink.size());
    for (std::size_t start = 0; start < ink.size(); ++start) {
        if (seen[start] || ink[start] >= inkLevel ||
            !nearLine[(start / w / blockSize) * erased.columns + start % w / blockSize])
            continue;
        const auto mark = markAt(ink, width, height, start, seen);
        const auto across = static_cast<std::size_t>(mark.right - mark.left + 1 + mark.bottom - mark.top + 1);
        if (mark.pixels.size() > thinness * across) continue;
        bool atTop = false, atBottom = false, atLeft = false, atRight = false;
        for (const auto index : mark.pixels) {
            const int x = static_cast<int>(index % w), y = static_cast<int>(index / w);
            const bool top = y - mark.top <= meets, bottom = mark.bottom - y <= meets;
            const bool left = x - mark.left <= meets, right = mark.right - x <= meets;
            if (!(top || bottom || left || right) || !nearErased(x, y)) continue;
            atTop = atTop || top, atBottom = atBottom || bottom, atLeft = atLeft || left, atRight = atRight || right;
        }
        if ((atTop && atBottom) || (atLeft && atRight))
            for (const auto index : mark.pixels) ink[index] = 255;
    }
}

// Specks: faint marks with no dark ink near them, and dark dots of a few
// pixels, such as the anti-aliased rim of a pill or picture a shade off its
// background leaves. Recognition reads them as quotes and bars, and joins
// neighbouring buttons into one line or widens a word's box through them;
// the faint edges of glyphs lie next to their dark cores, and the smallest
// full stop is larger than a speck.
void eraseSpecks(std::vector<std::uint8_t>& ink, int width, int height) {
    constexpr int near = 2, fewestDarkNear = 5;  // a dot of two by two pixels is a speck
    const auto w = static_cast<std::size_t>(width);
    std::vector<std::size_t> specks;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto value = ink[y * w + x];
            if (value == 255) continue;
            int darkNear = 0;
            for (int ny = std::max(y - near, 0); ny <= std::min(y + near, height - 1); ++ny)
                for (int nx = std::max(x - near, 0); nx <= std::min(x + near, width - 1); ++nx)
                    darkNear += ink[ny * w + nx] < darkInk ? 1 : 0;
            if (darkNear == 0 || (value < darkInk && darkNear < fewestDarkNear)) specks.push_back(y * w + x);
        }
    }
    for (const auto index : specks) ink[index] = 255;
}

}  // namespace

void eraseMarksThatAreNoText(std::vector<std::uint8_t>& ink, int width, int height) {
    const auto erased = eraseLongLines(ink, width, height);
    eraseBoxSides(ink, erased, width, height);
    eraseSpecks(ink, width, height);
}

}  // namespace audkit
