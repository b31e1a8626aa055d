#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audkit/base/aud_rect.hpp"
#include "audkit/base/error.hpp"
#include "audkit/tree/text_recognizer.hpp"
#include "audkit/vision/aud_bitmap.hpp"

namespace audkit {

// One recognised line of text on the screenshot.
struct FoundText {
    std::string text;
    float scale = 1;
    std::shared_ptr<AudBitmap> image;  // the screenshot cropped to rect
    AudBounds rect;                    // screenshot pixels, origin top left
    float estimatedFontSize = 0;       // points
    float confidence = 1;              // the recogniser's, 0 to 1
};

class TextDetectionError : public MessageError {
public:
    static TextDetectionError noImage() { return TextDetectionError("No image available."); }

private:
    using MessageError::MessageError;
};

// Recognises the text of one screenshot and turns each line into a FoundText.
class TextDetectionHelper {
public:
    TextDetectionHelper(std::shared_ptr<const RgbaImage> imageToAnalyze, float scale)
        : imageToAnalyze_(std::move(imageToAnalyze)), scale_(scale) {}

    // Throws noImage without an image; a recogniser's error is passed on.
    void detectText(TextRecognizer& recognizer);
    // One observation as a FoundText; none when it has no text or no pixels.
    std::optional<FoundText> makeFoundText(const TextObservation& observation) const;

    std::vector<FoundText> foundText;

private:
    std::shared_ptr<const RgbaImage> imageToAnalyze_;
    float scale_;
};

// The glyph class of a text: 4 Chinese or Japanese script (glyphs nearly as
// tall as the font), 3 ascenders and descenders, 2 descenders only, 1
// ascenders only, 0 neither.
int glyphClass(std::string_view text);

// The font size in points of a text line from its crop height, the height of
// its ink and the scale.
float estimatedFontSize(std::string_view text, const RgbaImage& crop, float scale);

// Rows from the first inked row to the last of four inked rows at the bottom;
// none for an image with one grey value or no ink.
std::optional<int> inkHeight(const RgbaImage& image);

}  // namespace audkit
