#pragma once

#include <memory>
#include <string>

#include "audkit/base/error.hpp"
#include "audkit/tree/text_recognizer.hpp"

namespace audkit {

class TextRecognizerError : public MessageError {
public:
    using MessageError::MessageError;
};

// Tesseract tuned for phone screenshots. Every pixel is first mapped to its
// distance from the local background, so light-on-dark and light-grey text
// become dark on light like the rest; lines of low confidence or without two
// letters or digits are dropped; each line's box is grown from the ink to
// the full line height of its font, as the platform's recogniser reports it.
class TesseractRecognizer : public TextRecognizer {
public:
    // Loads the language models ("eng", "eng+jpn") from TESSDATA_PREFIX or the
    // system's default place. Throws TextRecognizerError naming each model
    // that cannot be loaded and the Debian package that brings it.
    explicit TesseractRecognizer(const std::string& language = "eng");
    ~TesseractRecognizer() override;

    std::vector<TextObservation> recognize(const RgbaImage& image) override;

    // The grey image Tesseract reads: dark text on light, whatever the polarity.
    static std::vector<std::uint8_t> preprocess(const RgbaImage& image);

private:
    struct Engine;
    std::unique_ptr<Engine> engine_;
};

}  // namespace audkit
