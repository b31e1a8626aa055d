#include "audkit/platform/tesseract_recognizer.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <omp.h>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>
#include <utf8proc.h>

#include "audkit/base/text_helpers.hpp"
#include "audkit/platform/ink_image.hpp"
#include "audkit/vision/found_text.hpp"

namespace audkit {
namespace {

constexpr float minimumConfidence = 40;

std::size_t lettersAndDigits(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size();) {
        utf8proc_int32_t codePoint = 0;
        const auto length = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + at),
                                             static_cast<utf8proc_ssize_t>(text.size() - at), &codePoint);
        if (length <= 0) {
            ++at;
            continue;
        }
        const auto category = utf8proc_category(codePoint);
        if ((category >= UTF8PROC_CATEGORY_LU && category <= UTF8PROC_CATEGORY_LO) || category == UTF8PROC_CATEGORY_ND)
            ++count;
        at += static_cast<std::size_t>(length);
    }
    return count;
}

}  // namespace

struct TesseractRecognizer::Engine {
    tesseract::TessBaseAPI api;
};

namespace {

std::vector<std::string> languageCodes(const std::string& languages) {
    std::vector<std::string> codes;
    std::size_t start = 0;
    while (start <= languages.size()) {
        const auto end = std::min(languages.find('+', start), languages.size());
        codes.push_back(languages.substr(start, end - start));
        start = end + 1;
    }
    return codes;
}

// Debian's package of a language's model: "chi_sim" is tesseract-ocr-chi-sim.
std::string languagePackage(std::string code) {
    for (auto& c : code) c = c == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return "tesseract-ocr-" + code;
}

}  // namespace

TesseractRecognizer::TesseractRecognizer(const std::string& language) : engine_(std::make_unique<Engine>()) {
    const auto codes = languageCodes(language);
    // Only plain codes: a language names a file in the model folder.
    for (const auto& code : codes)
        if (code.empty() || !std::all_of(code.begin(), code.end(), [](unsigned char c) {
                return std::isalnum(c) || c == '_';
            }))
            throw TextRecognizerError("\"" + language +
                                      "\" is no list of Tesseract languages (codes such as eng or chi_sim, joined "
                                      "with +)");
    // Tesseract's own complaints go nowhere: the error below says what is wrong.
    engine_->api.SetVariable("debug_file", "/dev/null");
    const bool loaded = engine_->api.Init(nullptr, language.c_str(), tesseract::OEM_LSTM_ONLY) == 0;
    // Tesseract loads what it can of "eng+jpn" and carries on without the
    // rest; a model that is not loaded is an error here, never a scan that
    // silently cannot read that language.
    std::vector<std::string> present;
    if (loaded) engine_->api.GetLoadedLanguagesAsVector(&present);
    std::string missing, packages;
    for (const auto& code : codes) {
        if (std::find(present.begin(), present.end(), code) != present.end()) continue;
        missing += (missing.empty() ? "" : ", ") + code;
        packages += (packages.empty() ? "" : " ") + languagePackage(code);
    }
    if (!missing.empty()) {
        throw TextRecognizerError("The Tesseract language model " + missing + " could not be loaded: install " +
                                  packages + ", or point TESSDATA_PREFIX at a tessdata folder that holds it");
    }
    engine_->api.SetPageSegMode(tesseract::PSM_SPARSE_TEXT);
}

TesseractRecognizer::~TesseractRecognizer() { engine_->api.End(); }

std::vector<std::uint8_t> TesseractRecognizer::preprocess(const RgbaImage& image) { return inkImage(image); }

std::vector<TextObservation> TesseractRecognizer::recognize(const RgbaImage& image) {
    if (image.width == 0 || image.height == 0) return {};
    // Tesseract's OpenMP threads only slow recognition down on small machines.
    omp_set_num_threads(1);
    const auto prepared = preprocess(image);
    auto& api = engine_->api;
    api.SetImage(prepared.data(), static_cast<int>(image.width), static_cast<int>(image.height), 1,
                 static_cast<int>(image.width));
    if (api.Recognize(nullptr) != 0) throw TextRecognizerError("Tesseract could not recognise the screenshot");

    std::vector<TextObservation> observations;
    std::unique_ptr<tesseract::ResultIterator> words(api.GetIterator());
    if (!words) return observations;
    const double width = image.width, height = image.height;
    // A line is the words of it that were read with confidence: specks and
    // bits of borders read as stray marks beside real words are left out
    // instead of sinking the whole line.
    std::string text;
    int left = 0, top = 0, right = 0, bottom = 0;
    const auto finishLine = [&] {
        if (lettersAndDigits(text) >= 2) {
            // The box hugs the ink; the platform's spans the font's whole line
            // height. The ink's share of the font size follows from which
            // glyphs the line has (capitals and ascenders, descenders, both or
            // neither).
            static constexpr std::array<double, 5> inkShareOfEm{0.53, 0.74, 0.76, 0.98, 0.88};
            constexpr double lineHeightInEm = 1.17;
            const double em = (bottom - top) / inkShareOfEm[static_cast<std::size_t>(glyphClass(text))];
            const double centre = (top + bottom) / 2.0;
            const int lineTop = std::max(0, static_cast<int>(std::lround(centre - em * lineHeightInEm / 2)));
            const int lineBottom = std::min(static_cast<int>(image.height),
                                            static_cast<int>(std::lround(centre + em * lineHeightInEm / 2)));
            TextObservation observation;
            observation.text = text;
            observation.x = left / width;
            observation.width = (right - left) / width;
            observation.height = (lineBottom - lineTop) / height;
            observation.y = 1.0 - lineBottom / height;
            observations.push_back(observation);
        }
        text.clear();
    };
    do {
        if (words->IsAtBeginningOf(tesseract::RIL_TEXTLINE)) finishLine();
        std::unique_ptr<char[]> raw(words->GetUTF8Text(tesseract::RIL_WORD));
        if (!raw || words->Confidence(tesseract::RIL_WORD) < minimumConfidence) continue;
        std::string word(raw.get());
        int wordLeft = 0, wordTop = 0, wordRight = 0, wordBottom = 0;
        if (lettersAndDigits(word) == 0 ||
            !words->BoundingBox(tesseract::RIL_WORD, &wordLeft, &wordTop, &wordRight, &wordBottom))
            continue;
        if (text.empty()) {
            left = wordLeft, top = wordTop, right = wordRight, bottom = wordBottom;
        } else {
            left = std::min(left, wordLeft), top = std::min(top, wordTop);
            right = std::max(right, wordRight), bottom = std::max(bottom, wordBottom);
        }
        // Chinese and Japanese have no spaces between words: the model's
        // word breaks between two such characters are no gaps on the screen.
        const bool joined = text.empty() || (endsWithCjk(text) && startsWithCjk(word));
        text += (joined ? "" : " ") + word;
    } while (words->Next(tesseract::RIL_WORD));
    finishLine();
    return observations;
}

}  // namespace audkit
