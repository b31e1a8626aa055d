#pragma once

#include <optional>
#include <string>
#include <vector>

#include "audkit/tree/rgba_image.hpp"

namespace audkit {

// One line of text found by a recogniser: its best candidate (none when the
// recogniser had none) and its box normalised to 0...1 with the origin at the
// bottom left of the image, and how sure the recogniser is of the text (0 to
// 1; a recogniser that does not say is sure).
struct TextObservation {
    std::optional<std::string> text;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    float confidence = 1;
};

// Optical character recognition of a whole image. Throws an Error naming the
// problem when recognition cannot run at all.
class TextRecognizer {
public:
    virtual ~TextRecognizer() = default;
    virtual std::vector<TextObservation> recognize(const RgbaImage& image) = 0;
};

}  // namespace audkit
