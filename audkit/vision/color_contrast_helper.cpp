#include "audkit/vision/color_contrast_helper.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <unordered_map>

#include "audkit/vision/scan_line.hpp"

namespace audkit {
namespace {

constexpr std::array lineKinds{LineKind::horizontal, LineKind::vertical, LineKind::diagonal, LineKind::antiDiagonal};

bool contains(const std::vector<AudColor>& colors, const AudColor& color) {
    return std::find(colors.begin(), colors.end(), color) != colors.end();
}

void insert(std::vector<AudColor>& colors, const AudColor& color) {
    if (!contains(colors, color)) colors.push_back(color);
}

// Whether c lies between a and b on every channel, at the same share of the
// way on each channel that differs.
bool isBlend(const AudColor& c, const AudColor& a, const AudColor& b) {
    const std::array<std::array<int, 3>, 3> channels{
        {{a.red, a.green, a.blue}, {b.red, b.green, b.blue}, {c.red, c.green, c.blue}}};
    std::vector<double> positions;
    for (std::size_t i = 0; i < 3; ++i) {
        const int ca = channels[0][i], cb = channels[1][i], cc = channels[2][i];
        const int d = std::abs(ca - cb);
        if (std::abs(cc - ca) > d || std::abs(cc - cb) > d) return false;
        if (d != 0) positions.push_back(std::round(100.0 * std::abs(cc - ca) / d));
    }
    if (positions.size() < 2) return true;
    double mean = 0;
    for (const double position : positions) mean += position;
    mean /= static_cast<double>(positions.size());
    return std::all_of(positions.begin(), positions.end(), [&](double position) {
        return std::abs(position - mean) <= ColorContrastHelper::blendTolerance;
    });
}

// The median colour of columns [from, to) of a row.
AudColor medianOfRow(AudBitmap& bitmap, std::int64_t y, std::int64_t from, std::int64_t to) {
    std::vector<AudColor> colors;
    for (std::int64_t x = from; x < to; ++x)
        colors.push_back(bitmap.pixelColor(static_cast<double>(x), static_cast<double>(y)));
    return medianColor(colors);
}

std::int64_t mostFrequent(const std::vector<std::int64_t>& runs) {
    std::map<std::int64_t, std::size_t> counts;
    for (const auto run : runs) ++counts[run];
    std::int64_t best = 0;
    std::size_t bestCount = 0;
    for (const auto& [run, count] : counts) {
        if (count > bestCount) {  // ties go to the shorter run
            best = run;
            bestCount = count;
        }
    }
    return best;
}

}  // namespace

ColorContrastHelper::ColorContrastHelper(FoundText detectedText)
    : detectedText_(std::move(detectedText)), croppedImage_(detectedText_.image) {}

float ColorContrastHelper::boldStrokePoints(float fontSize) {
    if (fontSize <= 10) return 0.5F;
    if (fontSize <= 12) return 1.0F;
    if (fontSize < 16) return 1.2F;
    if (fontSize < 20) return 2.0F;
    return 2.5F;
}

std::vector<AudColor> ColorContrastHelper::removingBlends(const std::vector<AudColor>& colors) {
    if (colors.size() <= 2) return colors;
    std::vector<AudColor> blends;
    for (const auto& c : colors)
        for (const auto& a : colors)
            for (const auto& b : colors)
                if (!(a == b) && !(c == a) && !(c == b) && isBlend(c, a, b)) insert(blends, c);
    std::vector<AudColor> kept;
    for (const auto& color : colors)
        if (!contains(blends, color)) kept.push_back(color);
    return kept;
}

void ColorContrastHelper::readLines() {
    auto& bitmap = *croppedImage_;
    for (const auto kind : lineKinds) {
        ScanLine line(bitmap.frame(), kind);
        std::optional<AudColor> current;
        std::int64_t count = 0;
        const auto record = [&](const ScanLine::Point& point) {
            std::optional<AudColor> color;
            try {
                color = colorAt(point.x, point.y);
            } catch (const AudBitmap::BitmapError&) {
                ++count;  // an unreadable pixel lengthens the run in progress
                return;
            }
            if (current && *color == *current) {
                ++count;
                return;
            }
            if (current && count > 1 && !current->isTransparent()) {
                colorStreams_.add(*current, count);
                insert(recordedOrder_, *current);
            }
            current = color;
            count = 1;
        };
        try {
            current = colorAt(line.currentPoint().x, line.currentPoint().y);
            count = 1;
        } catch (const AudBitmap::BitmapError&) {}
        while (line.step()) record(line.currentPoint());
    }
}

std::int64_t ColorContrastHelper::runLength(const AudColor& color) const {
    const auto found = colorStreams_.bucket.find(color);
    std::int64_t length = 0;
    if (found != colorStreams_.bucket.end())
        for (const auto run : found->second) length += run;
    return length;
}

std::int64_t ColorContrastHelper::strokeWidth(const AudColor& color) const {
    const auto found = colorStreams_.bucket.find(color);
    return found == colorStreams_.bucket.end() ? 0 : mostFrequent(found->second);
}

// Thin strokes in a noisy or small screenshot never make runs of their true
// colour: the runs found are of a blend at their edges or along a hairline,
// lighter than the ink. Where the pixels read that stand out from the
// background well beyond the text's colour number a third of those of that
// colour, the colour is not the ink (anti-aliasing only ever lightens it).
bool ColorContrastHelper::isTheInk(const AudColor& text, const AudColor& background) const {
    const double beyond = contrastRatio(text, background) * inkMargin;
    std::size_t ofText = 0, further = 0;
    for (const auto& color : sample_) {
        if (color.isTransparent()) continue;
        if ((*flattened_)(color) == text) ++ofText;
        if (contrastRatio(color, background) > beyond) ++further;
    }
    return 3 * further <= ofText;
}

void ColorContrastHelper::buildPairs(const std::vector<AudColor>& edgeColors) {
    const float fontSize = detectedText_.estimatedFontSize;
    const float scale = detectedText_.scale > 0 ? detectedText_.scale : 1.0F;
    for (std::size_t i = 0; i < colors_.size(); ++i) {
        for (std::size_t j = i + 1; j < colors_.size(); ++j) {
            auto a = colors_[i], b = colors_[j];
            const bool aIsEdge = contains(edgeColors, a), bIsEdge = contains(edgeColors, b);
            if (colors_.size() >= 3 && aIsEdge && bIsEdge) continue;  // two background shades
            // The text's colour first: the one that is not a background candidate.
            if (aIsEdge && !bIsEdge) std::swap(a, b);
            // Between two background candidates the text is the rarer.
            const bool aIsRarer = aIsEdge != bIsEdge || runLength(a) <= runLength(b);
            if (aIsRarer ? !isTheInk(a, b) : !isTheInk(b, a)) continue;
            const std::int64_t width = aIsEdge != bIsEdge ? strokeWidth(a) : std::min(strokeWidth(a), strokeWidth(b));
            const bool bold = boldStrokePoints(fontSize) <= static_cast<float>(width) / scale;
            AudColorContrast pair(a, b, std::floor(fontSize), bold, width);
            if (std::find(allColorContrasts_.begin(), allColorContrasts_.end(), pair) == allColorContrasts_.end())
                allColorContrasts_.push_back(pair);
        }
    }
}

bool ColorContrastHelper::backgroundVaries() {
    auto& bitmap = *croppedImage_;
    if (bitmap.width() == 0 || bitmap.height() < 2) return false;
    std::optional<AudColor> first;
    for (const auto y : {std::int64_t{0}, bitmap.height() - 1}) {
        std::unordered_map<AudColor, std::int64_t> counts;
        for (std::int64_t x = 0; x < bitmap.width(); ++x)
            ++counts[colorAt(static_cast<double>(x), static_cast<double>(y))];
        const auto most = std::max_element(counts.begin(), counts.end(),
                                           [](const auto& a, const auto& b) { return a.second < b.second; });
        if (static_cast<float>(most->second) < flatRowShare * static_cast<float>(bitmap.width())) return true;
        if (first && !(*first == most->first)) return true;
        first = most->first;
        // Snapped, a gentle gradient is a few wide bands of one colour each;
        // its two ends still differ where noise does not.
        const auto quarter = bitmap.width() / 4;
        if (quarter > 0 && !withinLevels(medianOfRow(bitmap, y, 0, quarter),
                                         medianOfRow(bitmap, y, bitmap.width() - quarter, bitmap.width()),
                                         std::max(noiseLevel_, leastGradientStep)))
            return true;
    }
    return false;
}

// Glyphs that reach the crop's sides put the text's colour at a scan line's
// end; the background is what the flat rows above and below the glyphs
// hold. An end colour that holds hardly any of those rows is no background.
std::vector<AudColor> ColorContrastHelper::backgroundsAmong(const std::vector<AudColor>& edges) {
    auto& bitmap = *croppedImage_;
    if (bitmap.height() < 2) return edges;
    std::unordered_map<AudColor, std::int64_t> counts;
    for (const auto y : {std::int64_t{0}, bitmap.height() - 1})
        for (std::int64_t x = 0; x < bitmap.width(); ++x)
            ++counts[colorAt(static_cast<double>(x), static_cast<double>(y))];
    const auto rowPixels = static_cast<float>(2 * bitmap.width());
    std::vector<AudColor> kept;
    for (const auto& color : edges)
        if (static_cast<float>(counts[color]) >= leastShare * rowPixels) kept.push_back(color);
    return kept.empty() ? edges : kept;
}

AudColor ColorContrastHelper::colorAt(double x, double y) {
    const auto color = croppedImage_->pixelColor(x, y);
    return flattened_ ? (*flattened_)(color) : color;
}

// The colours of every pixel the analysis reads: the scan lines with their
// end points (kept), and the top and bottom rows, which also tell the
// noise level.
void ColorContrastHelper::learnNoise() {
    auto& bitmap = *croppedImage_;
    for (const auto kind : lineKinds) {
        ScanLine line(bitmap.frame(), kind);
        sample_.push_back(bitmap.pixelColor(line.currentPoint().x, line.currentPoint().y));
        while (line.step()) sample_.push_back(bitmap.pixelColor(line.currentPoint().x, line.currentPoint().y));
        sample_.push_back(bitmap.pixelColor(line.endPoint().x, line.endPoint().y));
    }
    allRead_ = sample_;
    std::vector<std::vector<AudColor>> rows;
    if (bitmap.height() >= 2)
        for (const auto y : {std::int64_t{0}, bitmap.height() - 1}) {
            auto& row = rows.emplace_back();
            for (std::int64_t x = 0; x < bitmap.width(); ++x)
                row.push_back(bitmap.pixelColor(static_cast<double>(x), static_cast<double>(y)));
            allRead_.insert(allRead_.end(), row.begin(), row.end());
        }
    surface_ = surfaceOf(rows, sample_);
    snapWithin(surface_ == Surface::noisy ? noiseLevels : 0);
}

void ColorContrastHelper::snapWithin(int levels) {
    noiseLevel_ = levels;
    flattened_.emplace(allRead_, levels);
    colorStreams_ = {};
    recordedOrder_.clear();
    colors_.clear();
    allColorContrasts_.clear();
}

void ColorContrastHelper::analyse() {
    if (!croppedImage_) throw ColorContrastError::unableDetectColors();
    try {
        learnNoise();
    } catch (const AudBitmap::BitmapError&) {
        throw ColorContrastError::unableDetectColors();
    }
    try {
        measure();
        if (!allColorContrasts_.empty() || surface_ != Surface::clean) return;
    } catch (const ColorContrastError& error) {
        if (surface_ != Surface::clean || error.errorCase() != ColorContrastError::Case::unableDetectColors) throw;
    }
    // Clean rows may frame noisy glyphs (a JPEG block of pure white above
    // them): where the exact colours gave nothing, they are snapped.
    snapWithin(noiseLevels);
    measure();
}

void ColorContrastHelper::measure() {
    auto& bitmap = *croppedImage_;
    std::vector<AudColor> edges;
    for (const auto kind : lineKinds) {
        const ScanLine line(bitmap.frame(), kind);
        try {
            insert(edges, colorAt(line.startPoint().x, line.startPoint().y));
            insert(edges, colorAt(line.endPoint().x, line.endPoint().y));
        } catch (const AudBitmap::BitmapError&) {
            throw ColorContrastError::unableDetectColors();
        }
    }
    readLines();

    const auto& seen = recordedOrder_;
    if (seen.size() < 2) throw ColorContrastError::unableDetectColors();
    if (seen.size() > mostColors || backgroundVaries()) throw ColorContrastError::tooManyColors();
    edges = backgroundsAmong(edges);
    if (seen.size() == 2) {
        colors_ = seen;
        buildPairs(edges);
        return;
    }
    const auto total = static_cast<float>(colorStreams_.totalCount());
    std::vector<AudColor> common;
    for (const auto& color : seen) {
        if (static_cast<float>(runLength(color)) / total >= leastShare) common.push_back(color);
    }
    // The thin strokes of small text in a crop of mostly background hold
    // little of the runs, and their ink spreads over several colours: where
    // the background alone holds a share, the text's colours are those that
    // hold a share of the rest, each crossed in several strokes (a colour of
    // one or two runs is a stroke's chance blend, not its ink).
    if (common.size() == 1 && contains(edges, common.front())) {
        const auto rest = total - static_cast<float>(runLength(common.front()));
        for (const auto& color : seen)
            if (!(color == common.front()) && static_cast<float>(runLength(color)) / rest >= leastShare &&
                colorStreams_.bucket.at(color).size() >= leastStrokes)
                common.push_back(color);
    }
    colors_ = removingBlends(common);
    std::vector<AudColor> keptEdges;
    for (const auto& color : edges)
        if (contains(colors_, color)) keptEdges.push_back(color);
    buildPairs(keptEdges);
}

}  // namespace audkit
