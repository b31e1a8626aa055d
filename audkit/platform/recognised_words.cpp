#include "audkit/platform/recognised_words.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "audkit/base/text_helpers.hpp"
#include "audkit/vision/found_text.hpp"

namespace audkit {
namespace {

constexpr float minimumConfidence = 40;
// Words of one line further apart than this many times their ink height are
// separate texts. A space between words is about half the ink height.
constexpr double separateTextGap = 1.2;
// A filled icon read as a character: its box is within these proportions of
// a square and at least this share of it is ink (a disc is 0.79; the
// densest letters in a squarish box, bold "o" or "e", about half).
constexpr double squarish = 1.5;
constexpr float filledShare = 0.7F;

bool filledIcon(const RecognisedWord& word) {
    const double width = word.right - word.left, height = word.bottom - word.top;
    return graphemeCount(word.text) == 1 && width > 0 && height > 0 && width <= squarish * height &&
           height <= squarish * width && word.inkShare >= filledShare;
}

int median(std::vector<int> values) {
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

// The words of one text, their box growing with each.
struct Text {
    std::string text;
    int left = 0, top = 0, right = 0, bottom = 0;
    std::vector<int> tops, bottoms;
    float confidenceSum = 0;  // of the words, 0-100 each

    // Chinese and Japanese glyphs are all about as tall as the font, but the
    // recogniser's boxes of their words (a character or two) are loose, one
    // now and then far taller than its glyphs: the middle word's top and
    // bottom are the line's.
    void fitCjkInk() {
        if (glyphClass(text) != 4 || tops.size() < 3) return;
        top = median(tops), bottom = median(bottoms);
    }

    void add(const RecognisedWord& word) {
        tops.push_back(word.top), bottoms.push_back(word.bottom);
        confidenceSum += word.confidence;
        if (text.empty()) {
            left = word.left, top = word.top, right = word.right, bottom = word.bottom;
            text = word.text;
            return;
        }
        left = std::min(left, word.left), top = std::min(top, word.top);
        right = std::max(right, word.right), bottom = std::max(bottom, word.bottom);
        // Chinese and Japanese have no spaces between words: the model's
        // word breaks between two such characters are no gaps on the screen.
        const bool joined = endsWithCjk(text) && startsWithCjk(word.text);
        text += (joined ? "" : " ") + word.text;
    }
};

TextObservation observationOf(const Text& text, double imageWidth, double imageHeight) {
    // The box hugs the ink; the platform's spans the font's whole line
    // height. The ink's share of the font size follows from which glyphs
    // the line has (capitals and ascenders, descenders, both or neither).
    static constexpr std::array<double, 5> inkShareOfEm{0.53, 0.74, 0.76, 0.98, 0.88};
    constexpr double lineHeightInEm = 1.17;
    const double em = (text.bottom - text.top) / inkShareOfEm[static_cast<std::size_t>(glyphClass(text.text))];
    const double centre = (text.top + text.bottom) / 2.0;
    const double lineTop = std::max(0.0, std::round(centre - em * lineHeightInEm / 2));
    const double lineBottom = std::min(imageHeight, std::round(centre + em * lineHeightInEm / 2));
    TextObservation observation;
    observation.text = text.text;
    observation.confidence = text.confidenceSum / static_cast<float>(text.tops.size()) / 100;
    observation.x = text.left / imageWidth;
    observation.width = (text.right - text.left) / imageWidth;
    observation.height = (lineBottom - lineTop) / imageHeight;
    observation.y = 1.0 - lineBottom / imageHeight;
    return observation;
}

}  // namespace

std::vector<TextObservation> textsOfLine(const std::vector<RecognisedWord>& line, std::uint32_t imageWidth,
                                         std::uint32_t imageHeight) {
    std::vector<TextObservation> observations;
    Text text;
    const auto finish = [&] {
        text.fitCjkInk();
        if (lettersAndDigits(text.text) >= 2) observations.push_back(observationOf(text, imageWidth, imageHeight));
        text = Text{};
    };
    std::vector<const RecognisedWord*> words;
    for (const auto& word : line)
        if (word.confidence >= minimumConfidence && lettersAndDigits(word.text) > 0) words.push_back(&word);
    if (words.size() >= 2 && filledIcon(*words.front())) words.erase(words.begin());
    if (words.size() >= 2 && filledIcon(*words.back())) words.pop_back();
    for (const auto* word : words) {
        if (!text.text.empty() &&
            word->left - text.right > separateTextGap * std::max(text.bottom - text.top, word->bottom - word->top))
            finish();
        text.add(*word);
    }
    finish();
    return observations;
}

}  // namespace audkit
