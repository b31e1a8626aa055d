#include "audkit/vision/flattened_noise.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

namespace audkit {
namespace {

std::uint32_t rgbOf(const AudColor& color) {
    return (std::uint32_t{color.red} << 16) | (std::uint32_t{color.green} << 8) | color.blue;
}

bool within(std::uint32_t a, std::uint32_t b, int levels) {
    for (const int shift : {16, 8, 0})
        if (std::abs(static_cast<int>((a >> shift) & 0xff) - static_cast<int>((b >> shift) & 0xff)) > levels)
            return false;
    return true;
}

// Grey value times 1000, as luma weighs the channels.
int luma(std::uint32_t color) {
    return 299 * static_cast<int>((color >> 16) & 0xff) + 587 * static_cast<int>((color >> 8) & 0xff) +
           114 * static_cast<int>(color & 0xff);
}

// JPEG keeps colour at a quarter of the resolution of brightness: a coloured
// stroke's pixels spread further in hue than in brightness, and brightness is
// what contrast measures. Two colours are one within `levels` of luma and
// chromaReach times that on each channel.
bool alike(std::uint32_t a, std::uint32_t b, int levels) {
    return std::abs(luma(a) - luma(b)) <= levels * 1000 && within(a, b, levels * chromaReach);
}

}  // namespace

bool withinLevels(const AudColor& a, const AudColor& b, int levels) { return within(rgbOf(a), rgbOf(b), levels); }

AudColor medianColor(const std::vector<AudColor>& colors) {
    if (colors.empty()) return {0, 0, 0};
    std::array<std::vector<std::uint8_t>, 3> channels;
    for (const auto& color : colors)
        channels[0].push_back(color.red), channels[1].push_back(color.green), channels[2].push_back(color.blue);
    std::array<std::uint8_t, 3> median{};
    for (std::size_t c = 0; c < 3; ++c) {
        auto middle = channels[c].begin() + static_cast<std::ptrdiff_t>(channels[c].size() / 2);
        std::nth_element(channels[c].begin(), middle, channels[c].end());
        median[c] = *middle;
    }
    return {median[0], median[1], median[2]};
}

Surface surfaceOf(const std::vector<std::vector<AudColor>>& flatRows, const std::vector<AudColor>& sample) {
    std::vector<int> deviations;
    for (const auto& row : flatRows) {
        if (row.empty()) continue;
        const auto median = rgbOf(medianColor(row));
        for (const auto& color : row) {
            int worst = 0;
            for (const int shift : {16, 8, 0})
                worst = std::max(worst, std::abs(static_cast<int>((rgbOf(color) >> shift) & 0xff) -
                                                 static_cast<int>((median >> shift) & 0xff)));
            deviations.push_back(worst);
        }
    }
    if (deviations.empty()) return Surface::clean;
    auto spread = deviations.begin() + static_cast<std::ptrdiff_t>(deviations.size() * 49 / 50);
    std::nth_element(deviations.begin(), spread, deviations.end());
    if (*spread > mostNoise) return Surface::textured;
    if (*spread >= leastNoise) return Surface::noisy;

    std::unordered_map<std::uint32_t, std::size_t> counts;
    for (const auto& color : sample) ++counts[rgbOf(color)];
    if (counts.empty()) return Surface::clean;
    const auto common = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second < b.second : a.first > b.first;
    });
    std::size_t near = 0;
    for (const auto& [color, count] : counts)
        if (color != common->first && within(color, common->first, faintNoise)) near += count;
    return static_cast<double>(near) >= noisyShare * static_cast<double>(common->second) ? Surface::noisy
                                                                                         : Surface::clean;
}

FlattenedNoise::FlattenedNoise(const std::vector<AudColor>& sample, int levels) {
    if (levels <= 0) return;
    std::unordered_map<std::uint32_t, std::uint32_t> counts;
    for (const auto& color : sample)
        if (!color.isTransparent()) ++counts[rgbOf(color)];
    std::vector<std::pair<std::uint32_t, std::uint32_t>> byCount(counts.begin(), counts.end());
    std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
        return a.second != b.second ? a.second > b.second : a.first < b.first;  // a fixed order for ties
    });

    // Representatives by cell of a grid whose cells are one channel reach
    // wide: a colour's representatives lie in its own cell or the next ones.
    const int cell = levels * chromaReach + 1;
    const auto cellOf = [cell](std::uint32_t color, int shift) {
        return static_cast<int>((color >> shift) & 0xff) / cell;
    };
    const auto key = [](int r, int g, int b) { return (r << 16) | (g << 8) | b; };
    std::unordered_map<int, std::vector<std::pair<std::size_t, std::uint32_t>>> grid;  // (rank, colour)
    std::size_t rank = 0;
    for (const auto& [color, seen] : byCount) {
        const int r = cellOf(color, 16), g = cellOf(color, 8), b = cellOf(color, 0);
        std::optional<std::pair<std::size_t, std::uint32_t>> best;  // the most common within reach
        for (int dr = -1; dr <= 1; ++dr)
            for (int dg = -1; dg <= 1; ++dg)
                for (int db = -1; db <= 1; ++db) {
                    const auto found = grid.find(key(r + dr, g + dg, b + db));
                    if (found == grid.end()) continue;
                    for (const auto& candidate : found->second)
                        if ((!best || candidate.first < best->first) && alike(color, candidate.second, levels))
                            best = candidate;
                }
        if (best) {
            snapped_[color] = best->second;
        } else {
            grid[key(r, g, b)].emplace_back(rank++, color);
        }
    }
}

AudColor FlattenedNoise::operator()(const AudColor& color) const {
    const auto found = snapped_.find(rgbOf(color));
    if (found == snapped_.end()) return color;
    return {static_cast<std::uint8_t>(found->second >> 16), static_cast<std::uint8_t>(found->second >> 8),
            static_cast<std::uint8_t>(found->second), color.alpha};
}

}  // namespace audkit
