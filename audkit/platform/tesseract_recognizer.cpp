#include "audkit/platform/tesseract_recognizer.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <omp.h>
#include <tesseract/baseapi.h>
#include <tesseract/resultiterator.h>
#include <utf8proc.h>

#include "audkit/vision/found_text.hpp"

namespace audkit {
namespace {

constexpr int blockSize = 8;          // pixels per cell of the background estimate
constexpr int backgroundRadius = 5;   // cells on each side: a 5 x 5 cell median, about 20 points at scale 3
constexpr float contrastGain = 2.0F;  // how dark a given distance from the background becomes
constexpr float minimumConfidence = 40;

std::vector<std::uint8_t> luma(const RgbaImage& image) {
    std::vector<std::uint8_t> grey(static_cast<std::size_t>(image.width) * image.height);
    for (std::size_t i = 0; i < grey.size(); ++i) {
        const auto* pixel = image.pixels.data() + i * 4;
        grey[i] = static_cast<std::uint8_t>((299 * pixel[0] + 587 * pixel[1] + 114 * pixel[2] + 500) / 1000);
    }
    return grey;
}

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

TesseractRecognizer::TesseractRecognizer(const std::string& language) : engine_(std::make_unique<Engine>()) {
    if (engine_->api.Init(nullptr, language.c_str(), tesseract::OEM_LSTM_ONLY) != 0)
        throw TextRecognizerError("The Tesseract language model \"" + language +
                                  "\" could not be loaded (install tesseract-ocr-" + language +
                                  " or point TESSDATA_PREFIX at its tessdata folder)");
    engine_->api.SetPageSegMode(tesseract::PSM_AUTO);
    engine_->api.SetVariable("debug_file", "/dev/null");
}

TesseractRecognizer::~TesseractRecognizer() { engine_->api.End(); }

std::vector<std::uint8_t> TesseractRecognizer::preprocess(const RgbaImage& image) {
    const int width = static_cast<int>(image.width), height = static_cast<int>(image.height);
    const auto grey = luma(image);
    // The background of each cell: the most common grey value in it.
    const int cellsX = (width + blockSize - 1) / blockSize, cellsY = (height + blockSize - 1) / blockSize;
    std::vector<std::uint8_t> cells(static_cast<std::size_t>(cellsX) * cellsY);
    std::array<int, 256> counts{};  // emptied again after each cell, not refilled with zeros
    for (int cy = 0; cy < cellsY; ++cy) {
        for (int cx = 0; cx < cellsX; ++cx) {
            const int x0 = cx * blockSize, x1 = std::min(width, x0 + blockSize);
            const int y0 = cy * blockSize, y1 = std::min(height, y0 + blockSize);
            int mode = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) {
                    const auto value = grey[static_cast<std::size_t>(y) * width + x];
                    if (++counts[value] > counts[mode] || (counts[value] == counts[mode] && value < mode)) mode = value;
                }
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x) counts[grey[static_cast<std::size_t>(y) * width + x]] = 0;
            cells[static_cast<std::size_t>(cy) * cellsX + cx] = static_cast<std::uint8_t>(mode);
        }
    }
    // The local background: the median of the neighbouring cells.
    std::vector<std::uint8_t> background(cells.size());
    std::vector<std::uint8_t> window;
    for (int cy = 0; cy < cellsY; ++cy) {
        for (int cx = 0; cx < cellsX; ++cx) {
            window.clear();
            for (int dy = -backgroundRadius; dy <= backgroundRadius; ++dy)
                for (int dx = -backgroundRadius; dx <= backgroundRadius; ++dx) {
                    const int x = cx + dx, y = cy + dy;
                    if (x >= 0 && y >= 0 && x < cellsX && y < cellsY)
                        window.push_back(cells[static_cast<std::size_t>(y) * cellsX + x]);
                }
            std::nth_element(window.begin(), window.begin() + window.size() / 2, window.end());
            background[static_cast<std::size_t>(cy) * cellsX + cx] = window[window.size() / 2];
        }
    }
    std::vector<std::uint8_t> out(grey.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto index = static_cast<std::size_t>(y) * width + x;
            const int local = background[static_cast<std::size_t>(y / blockSize) * cellsX + x / blockSize];
            const float distance = std::abs(static_cast<float>(grey[index]) - static_cast<float>(local));
            out[index] = static_cast<std::uint8_t>(255.0F - std::min(255.0F, distance * contrastGain));
        }
    }
    return out;
}

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
    std::unique_ptr<tesseract::ResultIterator> lines(api.GetIterator());
    if (!lines) return observations;
    const double width = image.width, height = image.height;
    do {
        std::unique_ptr<char[]> raw(lines->GetUTF8Text(tesseract::RIL_TEXTLINE));
        if (!raw) continue;
        std::string text(raw.get());
        while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
        if (lines->Confidence(tesseract::RIL_TEXTLINE) < minimumConfidence || lettersAndDigits(text) < 2) continue;
        int left = 0, top = 0, right = 0, bottom = 0;
        if (!lines->BoundingBox(tesseract::RIL_TEXTLINE, &left, &top, &right, &bottom)) continue;
        // The box hugs the ink; the platform's spans the font's whole line
        // height. The ink's share of the font size follows from which glyphs
        // the line has (capitals and ascenders, descenders, both or neither).
        static constexpr std::array<double, 4> inkShareOfEm{0.53, 0.74, 0.76, 0.98};
        constexpr double lineHeightInEm = 1.17;
        const double em = (bottom - top) / inkShareOfEm[static_cast<std::size_t>(glyphClass(text))];
        const double centre = (top + bottom) / 2.0;
        top = std::max(0, static_cast<int>(std::lround(centre - em * lineHeightInEm / 2)));
        bottom =
            std::min(static_cast<int>(image.height), static_cast<int>(std::lround(centre + em * lineHeightInEm / 2)));
        TextObservation observation;
        observation.text = text;
        observation.x = left / width;
        observation.width = (right - left) / width;
        observation.height = (bottom - top) / height;
        observation.y = 1.0 - bottom / height;
        observations.push_back(observation);
    } while (lines->Next(tesseract::RIL_TEXTLINE));
    return observations;
}

}  // namespace audkit
