#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "audkit/base/error.hpp"
#include "audkit/tree/aud_color_contrast.hpp"
#include "audkit/vision/aud_bitmap.hpp"
#include "audkit/vision/flattened_noise.hpp"
#include "audkit/vision/found_text.hpp"

namespace audkit {

// Why the colours of a text could not be judged; each asks for review.
class ColorContrastError : public MessageError {
public:
    enum class Case { unableDetectColors, tooManyColors, textFieldEditing };

    static ColorContrastError unableDetectColors() {
        return {Case::unableDetectColors,
                "Needs Review. We were unable to detect background and foreground colors, please verify that each "
                "text element has a minimum 4.5:1 contrast ratio with its background and that large text has a "
                "minimum 3.0:1 contrast ratio."};
    }
    static ColorContrastError tooManyColors() {
        return {Case::tooManyColors,
                "Needs Review. We detected too many colors to confidently determine contrast. This view may be "
                "within an image or have an opaque background, verify that each text element has a minimum 4.5:1 "
                "contrast ratio with its background and that large text has a minimum 3.0:1 contrast ratio."};
    }
    static ColorContrastError textFieldEditing() {
        return {Case::textFieldEditing,
                "Needs Review. When text input elements are being edited, the cursor can interfere with the "
                "detected colors as it's flashing. Dismiss the keyboard and scan again for the most accurate "
                "results, or verify that each text element has a minimum 4.5:1 contrast ratio with its background "
                "and that large text has a minimum 3.0:1 contrast ratio."};
    }

    Case errorCase() const { return case_; }

private:
    ColorContrastError(Case errorCase, std::string message) : MessageError(std::move(message)), case_(errorCase) {}
    Case case_;
};

// Finds the text and background colours in the crop around one found text:
// four lines across the crop (horizontal, vertical, both diagonals) are read
// into runs of one colour; the colours at the lines' ends are the background
// candidates; rare colours and anti-aliasing blends are dropped, and each
// remaining pair of text against background becomes one record with its
// contrast, the font size, the stroke width and whether it looks bold. A
// noisy crop has its colours snapped first (flattened_noise.hpp); a crop
// whose exact colours give nothing is measured once more, snapped.
class ColorContrastHelper {
public:
    // Colours with less than this share of the recorded run length are dropped.
    static constexpr float leastShare = 0.1F;
    // Runs a colour needs, beside its share, to be a thin text's ink.
    static constexpr std::size_t leastStrokes = 3;
    // More colours than this in runs: a picture or gradient, not flat text.
    static constexpr std::size_t mostColors = 20;
    // How far (in hundredths of the way) a blend's channels may disagree.
    static constexpr double blendTolerance = 5.0;
    // The crop's top and bottom rows lie above and below the glyphs: on a
    // flat background each is mostly one colour, the same colour. Less
    // than this share of one colour in either, or two different colours,
    // is a gradient or a picture, whose few runs of one colour would
    // otherwise be judged as if they were the background.
    static constexpr float flatRowShare = 0.5F;
    // Pixels this many times the text's contrast from the background are
    // ink beyond the text's colour (see isTheInk).
    static constexpr double inkMargin = 1.5;
    // The two ends of a flat row differ by no more than its noise, and by no
    // more than this on a clean one: more is a gradient.
    static constexpr int leastGradientStep = 8;

    explicit ColorContrastHelper(FoundText detectedText);

    // Fills colors() and allColorContrasts(); throws ColorContrastError.
    void analyse();

    const std::vector<AudColor>& colors() const { return colors_; }
    // Each pair once, in the order found; the text's colour is colorA where
    // the pair is text against background.
    const std::vector<AudColorContrast>& allColorContrasts() const { return allColorContrasts_; }
    const ColorBucket& colorStreams() const { return colorStreams_; }

    // The bold threshold (stroke width in points) for a font size.
    static float boldStrokePoints(float fontSize);
    // The colours of the set that are blends of two others of it.
    static std::vector<AudColor> removingBlends(const std::vector<AudColor>& colors);

private:
    void learnNoise();
    void snapWithin(int levels);  // and forgets what was measured
    void measure();
    AudColor colorAt(double x, double y);
    void readLines();
    bool backgroundVaries();
    std::vector<AudColor> backgroundsAmong(const std::vector<AudColor>& edges);
    bool isTheInk(const AudColor& text, const AudColor& background) const;
    void buildPairs(const std::vector<AudColor>& edgeColors);
    std::int64_t runLength(const AudColor& color) const;  // of all its runs together
    std::int64_t strokeWidth(const AudColor& color) const;

    FoundText detectedText_;
    std::shared_ptr<AudBitmap> croppedImage_;
    std::optional<FlattenedNoise> flattened_;
    int noiseLevel_ = 0;
    Surface surface_ = Surface::clean;
    std::vector<AudColor> allRead_;  // every pixel the analysis reads
    std::vector<AudColor> sample_;   // the pixels along the scan lines, as read
    ColorBucket colorStreams_;
    std::vector<AudColor> recordedOrder_;  // bucket colours by first run recorded
    std::vector<AudColor> colors_;
    std::vector<AudColorContrast> allColorContrasts_;
};

}  // namespace audkit
