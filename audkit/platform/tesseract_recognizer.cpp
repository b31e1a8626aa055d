#include "audkit/platform/tesseract_recognizer.hpp"

#include <algorithm>
#include <cctype>
#include <omp.h>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>

#include "audkit/platform/ink_image.hpp"
#include "audkit/platform/recognised_words.hpp"

namespace audkit {

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
    std::vector<RecognisedWord> line;
    const auto finishLine = [&] {
        for (auto& observation : textsOfLine(line, image.width, image.height))
            observations.push_back(std::move(observation));
        line.clear();
    };
    do {
        if (words->IsAtBeginningOf(tesseract::RIL_TEXTLINE)) finishLine();
        std::unique_ptr<char[]> raw(words->GetUTF8Text(tesseract::RIL_WORD));
        RecognisedWord word;
        if (!raw || !words->BoundingBox(tesseract::RIL_WORD, &word.left, &word.top, &word.right, &word.bottom))
            continue;
        word.text = raw.get();
        word.confidence = words->Confidence(tesseract::RIL_WORD);
        line.push_back(std::move(word));
    } while (words->Next(tesseract::RIL_WORD));
    finishLine();
    return observations;
}

}  // namespace audkit
