#include "audkit/platform/tesseract_recognizer.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <dlfcn.h>
#include <map>
#include <mutex>
#include <optional>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>
#include <thread>

#include "audkit/platform/ink_image.hpp"
#include "audkit/platform/line_detector.hpp"
#include "audkit/platform/recognised_words.hpp"
#include "audkit/platform/recognition_bands.hpp"
#include "audkit/platform/recognition_languages.hpp"

namespace audkit {
namespace {

// Tells the OpenMP runtime that Tesseract's library brought in (whichever
// compiler built this one) to read on this thread alone: its extra threads
// only slow recognition down on small machines. Looked up, not linked, so the
// library and its users never name one compiler's OpenMP.
void oneRecognitionThread() {
    using SetThreads = void (*)(int);
    static const auto setThreads = reinterpret_cast<SetThreads>(::dlsym(RTLD_DEFAULT, "omp_set_num_threads"));
    if (setThreads) setThreads(1);
}

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

// Tesseract's own complaints go nowhere: the errors of the recogniser say
// what is wrong. "debug_file" is one parameter for the whole process, so it
// is set once, before any engine loads (engines load on threads of their own).
void silenceTesseract() {
    static std::once_flag silenced;
    std::call_once(silenced, [] {
        tesseract::TessBaseAPI api;
        api.SetVariable("debug_file", "/dev/null");
    });
}

// The bands a screen is read in (an image too short for them, in fewer).
constexpr int readingBands = 2;
// The least width and height of an image the line detector reads.
constexpr std::uint32_t smallestDetectedSide = 256;

// Only plain codes: a language names a file in the model folder.
void checkCodes(const std::string& language) {
    for (const auto& code : languageCodes(language))
        if (code.empty() ||
            !std::all_of(code.begin(), code.end(), [](unsigned char c) { return std::isalnum(c) || c == '_'; }))
            throw TextRecognizerError("\"" + language +
                                      "\" is no list of Tesseract languages (codes such as eng or chi_sim, joined "
                                      "with +)");
}

// The share of a word's box (in a band's pixels) that is ink, and the box
// narrowed to the rows that hold ink: the recogniser's box of a word of a
// character or two is now and then far taller than its glyphs (a Chinese
// title's box reaching half a line below it), and the line's height, and
// with it the font size, is taken from the words' boxes.
void fitToInk(const std::vector<std::uint8_t>& ink, int width, const RecognitionBand& band, RecognisedWord& word) {
    const int left = std::max(word.left, 0), right = std::min(word.right, width);
    std::size_t dark = 0;
    std::optional<int> first, last;
    for (int y = std::max(word.top, 0); y < std::min(word.bottom, band.bottom - band.top); ++y) {
        const auto* row = ink.data() + static_cast<std::size_t>(band.top + y) * static_cast<std::size_t>(width);
        const auto inRow = static_cast<std::size_t>(
            std::count_if(row + left, row + std::max(left, right), [](std::uint8_t value) { return value < darkInk; }));
        dark += inRow;
        if (inRow > 0) {
            if (!first) first = y;
            last = y;
        }
    }
    if (!first || right <= left) {
        word.inkShare = 0;
        return;
    }
    word.top = *first, word.bottom = *last + 1;
    word.inkShare = static_cast<float>(dark) / static_cast<float>((word.bottom - word.top) * (right - left));
}

std::vector<TextObservation> textsOfLines(const std::vector<std::vector<RecognisedWord>>& lines,
                                          const RgbaImage& image) {
    std::vector<TextObservation> observations;
    for (const auto& line : lines)
        for (auto& observation : textsOfLine(line, image.width, image.height))
            observations.push_back(std::move(observation));
    return observations;
}

}  // namespace

struct TesseractRecognizer::Engine {
    tesseract::TessBaseAPI api;

    void load(const std::string& language) {
        silenceTesseract();
        const bool loaded = api.Init(nullptr, language.c_str(), tesseract::OEM_LSTM_ONLY) == 0;
        // Tesseract loads what it can of "eng+jpn" and carries on without the
        // rest; a model that is not loaded is an error here, never a scan that
        // silently cannot read that language.
        std::vector<std::string> present;
        if (loaded) api.GetLoadedLanguagesAsVector(&present);
        std::string missing, packages;
        for (const auto& code : languageCodes(language)) {
            if (std::find(present.begin(), present.end(), code) != present.end()) continue;
            missing += (missing.empty() ? "" : ", ") + code;
            packages += (packages.empty() ? "" : " ") + languagePackage(code);
        }
        if (!missing.empty()) {
            throw TextRecognizerError("The Tesseract language model " + missing + " could not be loaded: install " +
                                      packages + ", or point TESSDATA_PREFIX at a tessdata folder that holds it");
        }
        api.SetPageSegMode(tesseract::PSM_SPARSE_TEXT);
        // The ink image is dark on light whatever the screen's polarity: reading a
        // doubtful line again inverted only costs time.
        api.SetVariable("tessedit_do_invert", "0");
    }

    // The words of each line Tesseract recognises in the image it was given
    // (a band of the ink image starting at `band.top`, or a rectangle of the
    // whole), in the whole image's pixels.
    std::vector<std::vector<RecognisedWord>> recognised(const std::vector<std::uint8_t>& ink, int width,
                                                        const RecognitionBand& band) {
        if (api.Recognize(nullptr) != 0) throw TextRecognizerError("Tesseract could not recognise the screenshot");
        std::vector<std::vector<RecognisedWord>> lines;
        std::unique_ptr<tesseract::ResultIterator> words(api.GetIterator());
        if (!words) return lines;
        do {
            if (words->IsAtBeginningOf(tesseract::RIL_TEXTLINE) || lines.empty()) lines.emplace_back();
            std::unique_ptr<char[]> raw(words->GetUTF8Text(tesseract::RIL_WORD));
            RecognisedWord word;
            if (!raw || !words->BoundingBox(tesseract::RIL_WORD, &word.left, &word.top, &word.right, &word.bottom))
                continue;
            word.text = raw.get();
            word.confidence = words->Confidence(tesseract::RIL_WORD);
            fitToInk(ink, width, band, word);
            word.top += band.top, word.bottom += band.top;
            lines.back().push_back(std::move(word));
        } while (words->Next(tesseract::RIL_WORD));
        return lines;
    }

    // The words of each line Tesseract reads in a band of the ink image, in
    // the whole image's pixels.
    std::vector<std::vector<RecognisedWord>> lines(const std::vector<std::uint8_t>& ink, int width,
                                                   const RecognitionBand& band) {
        oneRecognitionThread();
        api.SetImage(ink.data() + static_cast<std::size_t>(band.top) * static_cast<std::size_t>(width), width,
                     band.bottom - band.top, 1, width);
        auto lines = recognised(ink, width, band);
        std::erase_if(lines, [&](const auto& line) { return !band.keeps(line); });
        return lines;
    }

    // The words of each detected line, read alone, in the image's pixels.
    std::vector<std::vector<RecognisedWord>> detectedLines(const std::vector<std::uint8_t>& ink, int width, int height,
                                                           const std::vector<DetectedLine>& detected, std::size_t first,
                                                           std::size_t step) {
        oneRecognitionThread();
        std::vector<std::vector<RecognisedWord>> lines(detected.size());
        if (first >= detected.size()) return lines;
        api.SetPageSegMode(tesseract::PSM_SINGLE_LINE);
        api.SetImage(ink.data(), width, height, 1, width);
        for (std::size_t at = first; at < detected.size(); at += step) {
            const auto& box = detected[at];
            api.SetRectangle(box.left, box.top, box.right - box.left, box.bottom - box.top);
            for (auto& line : recognised(ink, width, RecognitionBand{0, height, 0, height}))
                lines[at].insert(lines[at].end(), std::make_move_iterator(line.begin()),
                                 std::make_move_iterator(line.end()));
        }
        return lines;
    }
};

TesseractRecognizer::Options TesseractRecognizer::Options::oneScanAtATime() {
    Options options;
    options.engines = std::thread::hardware_concurrency() >= 2 ? 2 : 1;
    options.loadInBackground = true;
    return options;
}

TesseractRecognizer::TesseractRecognizer(const std::string& language) : TesseractRecognizer(language, Options{}) {}

std::vector<std::string> TesseractRecognizer::installedLanguages() {
    // Listed once for each model folder (TESSDATA_PREFIX, or the default).
    static std::mutex mutex;
    static std::map<std::string, std::vector<std::string>> byFolder;
    const char* prefix = std::getenv("TESSDATA_PREFIX");
    const std::lock_guard lock(mutex);
    auto [entry, added] = byFolder.try_emplace(prefix ? prefix : "");
    if (added) {
        // A language that is no model fails to load, but the list of the
        // folder's models is there all the same, and cheap.
        silenceTesseract();
        tesseract::TessBaseAPI api;
        (void)api.Init(nullptr, "-");
        api.GetAvailableLanguagesAsVector(&entry->second);
    }
    return entry->second;
}

TesseractRecognizer::TesseractRecognizer(const std::string& language, Options options)
    : lines_(std::move(options.lines)) {
    checkCodes(language);
    for (int i = 0; i < std::max(1, options.engines); ++i) {
        engines_.push_back(std::make_unique<Engine>());
        auto* engine = engines_.back().get();
        if (options.loadInBackground)
            loading_.push_back(std::async(std::launch::async, [engine, language] { engine->load(language); }).share());
        else
            engine->load(language);
    }
}

TesseractRecognizer::~TesseractRecognizer() {
    for (auto& loading : loading_) loading.wait();
    for (auto& engine : engines_) engine->api.End();
}

void TesseractRecognizer::waitUntilLoaded() {
    for (auto& loading : loading_) loading.get();
}

std::vector<std::uint8_t> TesseractRecognizer::preprocess(const RgbaImage& image) { return inkImage(image); }

void TesseractRecognizer::prepare(std::shared_ptr<const RgbaImage> image) {
    preparedInk_ = image ? preprocess(*image) : std::vector<std::uint8_t>{};
    prepared_ = std::move(image);
}

std::vector<TextObservation> TesseractRecognizer::recognize(const RgbaImage& image) {
    if (image.width == 0 || image.height == 0) return {};
    // The ink image is made while the models may still be loading, unless
    // it was made even earlier. The scan holds a copy of the screenshot, so
    // the pixels are compared, not the image's place.
    const bool wasPrepared =
        prepared_ &&
        (prepared_.get() == &image ||
         (prepared_->width == image.width && prepared_->height == image.height && prepared_->pixels == image.pixels));
    const auto ink = wasPrepared ? std::move(preparedInk_) : preprocess(image);
    prepared_.reset();
    preparedInk_ = {};
    // The detector's network costs most of a second for each new size of
    // image it reads: a view read again on its own (a row, a button, short
    // in one direction at least) is read by Tesseract's own segmentation.
    const bool screenSized = std::min(image.width, image.height) >= smallestDetectedSide;
    return lines_ && screenSized ? readDetectedLines(ink, image) : readLines(ink, image);
}

std::vector<TextObservation> TesseractRecognizer::readLines(const std::vector<std::uint8_t>& ink,
                                                            const RgbaImage& image) {
    waitUntilLoaded();
    const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
    const auto bands = recognitionBands(ink, width, height, readingBands);
    // Engine e reads bands e, e + n, ...: the others on their own threads.
    using Lines = std::vector<std::vector<RecognisedWord>>;
    const auto read = [&](std::size_t first) {
        std::vector<Lines> found(bands.size());
        for (std::size_t band = first; band < bands.size(); band += engines_.size())
            found[band] = engines_[first]->lines(ink, width, bands[band]);
        return found;
    };
    std::vector<std::future<std::vector<Lines>>> others;
    for (std::size_t engine = 1; engine < std::min(engines_.size(), bands.size()); ++engine)
        others.push_back(std::async(std::launch::async, read, engine));
    auto byBand = read(0);
    for (auto& other : others) {
        auto more = other.get();
        for (std::size_t band = 0; band < bands.size(); ++band)
            if (!more[band].empty()) byBand[band] = std::move(more[band]);
    }
    Lines lines;
    for (auto& band : byBand)
        lines.insert(lines.end(), std::make_move_iterator(band.begin()), std::make_move_iterator(band.end()));
    return textsOfLines(lines, image);
}

std::vector<TextObservation> TesseractRecognizer::readDetectedLines(const std::vector<std::uint8_t>& ink,
                                                                    const RgbaImage& image) {
    // The lines are found while the models may still be loading.
    const auto detected = lines_->detect(image);
    waitUntilLoaded();
    const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
    // Engine e reads lines e, e + n, ...: the others on their own threads.
    const auto read = [&](std::size_t first) {
        return engines_[first]->detectedLines(ink, width, height, detected, first, engines_.size());
    };
    std::vector<std::future<std::vector<std::vector<RecognisedWord>>>> others;
    for (std::size_t engine = 1; engine < std::min(engines_.size(), detected.size()); ++engine)
        others.push_back(std::async(std::launch::async, read, engine));
    auto lines = read(0);
    for (std::size_t engine = 1; engine <= others.size(); ++engine) {
        auto more = others[engine - 1].get();
        for (std::size_t at = engine; at < lines.size(); at += engines_.size()) lines[at] = std::move(more[at]);
    }
    return textsOfLines(lines, image);
}

}  // namespace audkit
