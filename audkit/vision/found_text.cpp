#include "audkit/vision/found_text.hpp"

#include <array>
#include <cmath>
#include <cstdlib>

#include "audkit/base/text_helpers.hpp"
#include "audkit/tree/image_crop.hpp"

namespace audkit {
namespace {

constexpr std::string_view tallCharacters = "ABCDEFGHIJKLMNOPRSTUVWXYZbdfhklt0123456789";
constexpr std::string_view descendingCharacters = "gpqy";
constexpr std::string_view bothCharacters = "Qj";
// Grey levels by which a pixel may differ from the background and be no ink.
constexpr int noiseInGrey = 32;

// The grey value of each pixel, as a monochrome photo filter would give it.
std::vector<std::uint8_t> grey(const RgbaImage& image) {
    std::vector<std::uint8_t> values(static_cast<std::size_t>(image.width) * image.height);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto* pixel = image.pixels.data() + i * 4;
        values[i] = static_cast<std::uint8_t>(std::lround(0.299 * pixel[0] + 0.587 * pixel[1] + 0.114 * pixel[2]));
    }
    return values;
}

}  // namespace

int glyphClass(std::string_view text) {
    if (containsCjk(text)) return 4;
    bool tall = false, descending = false;
    for (const char c : text) {
        if (bothCharacters.find(c) != std::string_view::npos) return 3;
        tall = tall || tallCharacters.find(c) != std::string_view::npos;
        descending = descending || descendingCharacters.find(c) != std::string_view::npos;
    }
    if (tall && descending) return 3;
    if (descending) return 2;
    return tall ? 1 : 0;
}

std::optional<int> inkHeight(const RgbaImage& image) {
    if (image.width == 0 || image.height == 0) return std::nullopt;
    const auto values = grey(image);
    std::array<std::size_t, 256> counts{};
    for (const auto value : values) ++counts[value];
    std::size_t distinct = 0, background = 0;
    for (std::size_t value = 0; value < counts.size(); ++value) {
        if (counts[value] == 0) continue;
        ++distinct;
        if (counts[value] > counts[background]) background = value;
    }
    if (distinct < 2) return std::nullopt;
    const auto width = static_cast<std::size_t>(image.width);
    // Compression noise beside the glyphs is no ink.
    auto inked = [&](std::size_t row) {
        for (std::size_t x = 0; x < width; ++x)
            if (std::abs(values[row * width + x] - static_cast<int>(background)) > noiseInGrey) return true;
        return false;
    };
    std::optional<std::size_t> top;
    for (std::size_t row = 0; row < image.height && !top; ++row)
        if (inked(row)) top = row;
    if (!top) return std::nullopt;
    int run = 0;
    for (std::size_t row = image.height - 1; row >= 1; --row) {
        run = inked(row) ? run + 1 : 0;
        if (run == 4) return static_cast<int>(row) - static_cast<int>(*top);
    }
    return std::nullopt;
}

float estimatedFontSize(std::string_view text, const RgbaImage& crop, float scale) {
    const auto height = static_cast<int>(crop.height);
    if (scale > 0) {
        if (const auto ink = inkHeight(crop)) {
            // Chinese and Japanese glyphs fill about 0.88 of the em: with the
            // line box of 1.17 em, the mean of box and ink is 1.025 em.
            static constexpr std::array<float, 5> factors{1.188F, 1.06F, 1.08F, 0.97F, 0.976F};
            const float factor = factors[static_cast<std::size_t>(glyphClass(text))];
            return std::ceil(factor * static_cast<float>((height + *ink) / 2) / scale);
        }
    }
    return std::round(static_cast<float>(height) / (scale > 0 ? scale : 1.0F));
}

std::optional<FoundText> TextDetectionHelper::makeFoundText(const TextObservation& observation) const {
    if (!imageToAnalyze_) throw TextDetectionError::noImage();
    if (!observation.text) return std::nullopt;
    const auto width = static_cast<double>(imageToAnalyze_->width);
    const auto height = static_cast<double>(imageToAnalyze_->height);
    const double left = observation.x * width;
    const double top = (1.0 - (observation.y + observation.height)) * height;
    const auto rect = AudBounds::withOrigin(static_cast<float>(left), static_cast<float>(top),
                                            static_cast<float>(observation.width * width),
                                            static_cast<float>(observation.height * height));
    auto crop = cropImage(*imageToAnalyze_, rect);
    if (crop.width == 0 || crop.height == 0) return std::nullopt;
    FoundText found;
    found.text = *observation.text;
    found.scale = scale_;
    found.rect = rect;
    found.estimatedFontSize = estimatedFontSize(found.text, crop, scale_);
    found.confidence = observation.confidence;
    found.image = std::make_shared<AudBitmap>(std::move(crop));
    return found;
}

void TextDetectionHelper::detectText(TextRecognizer& recognizer) {
    if (!imageToAnalyze_) throw TextDetectionError::noImage();
    for (const auto& observation : recognizer.recognize(*imageToAnalyze_)) {
        if (auto found = makeFoundText(observation)) foundText.push_back(std::move(*found));
    }
}

}  // namespace audkit
