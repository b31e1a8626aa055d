#pragma once

#include <future>
#include <memory>
#include <string>
#include <vector>

#include "audkit/platform/text_recognizer_error.hpp"
#include "audkit/tree/text_recognizer.hpp"

namespace audkit {

class LineDetector;

// Tesseract tuned for phone screenshots, finding the lines itself or reading
// those a detector found. Every pixel is first mapped to its
// distance from the local background, so light-on-dark and light-grey text
// become dark on light like the rest; lines of low confidence or without two
// letters or digits are dropped; each line's box is grown from the ink to
// the full line height of its font, as the platform's recogniser reports it.
class TesseractRecognizer : public TextRecognizer {
public:
    struct Options {
        // A screen is read in two horizontal bands (a short image in one),
        // however many engines read them, so that what is read never
        // depends on the machine. Two engines read the bands at once, each
        // on its own thread: on a machine with cores to spare, in about half
        // the time, for twice the memory and the loading. One where scans
        // already run side by side.
        int engines = 1;
        // The models load on their own threads while the caller goes on (to
        // read and decode the screenshot); recognize() waits for them.
        // Errors then come from waitUntilLoaded() and recognize().
        bool loadInBackground = false;
        // Where the lines of text are: found by this detector, each line then
        // read alone; null lets Tesseract's page segmentation find them.
        // Detectors are loaded once and kept (by a batch worker, say) while
        // recognisers come and go with the languages of the screens.
        std::shared_ptr<LineDetector> lines;

        // For a scan that has the machine to itself: two engines where there
        // are two cores, loaded in the background.
        static Options oneScanAtATime();
    };

    // Loads the language models ("eng", "eng+jpn") from TESSDATA_PREFIX or the
    // system's default place. Throws TextRecognizerError naming each model
    // that cannot be loaded and the Debian package that brings it (when
    // loading in the background: only for a list that is no list of codes).
    explicit TesseractRecognizer(const std::string& language = "eng");
    TesseractRecognizer(const std::string& language, Options options);
    ~TesseractRecognizer() override;

    // The languages whose models are installed where the recogniser loads
    // them from (listed once for each folder).
    static std::vector<std::string> installedLanguages();

    // Waits until the models are loaded; throws what loading them threw.
    void waitUntilLoaded();

    // Makes the grey image of a screenshot now, while the models load;
    // recognize() of the same pixels reads it instead of making it again.
    void prepare(std::shared_ptr<const RgbaImage> image);

    std::vector<TextObservation> recognize(const RgbaImage& image) override;

    // The grey image Tesseract reads: dark text on light, whatever the polarity.
    static std::vector<std::uint8_t> preprocess(const RgbaImage& image);

private:
    struct Engine;
    std::vector<TextObservation> readLines(const std::vector<std::uint8_t>& ink, const RgbaImage& image);
    std::vector<TextObservation> readDetectedLines(const std::vector<std::uint8_t>& ink, const RgbaImage& image);

    std::vector<std::unique_ptr<Engine>> engines_;
    std::shared_ptr<LineDetector> lines_;
    std::vector<std::shared_future<void>> loading_;
    std::shared_ptr<const RgbaImage> prepared_;
    std::vector<std::uint8_t> preparedInk_;
};

}  // namespace audkit
