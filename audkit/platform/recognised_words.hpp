#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audkit/tree/text_recognizer.hpp"

namespace audkit {

// A word as the recogniser read it: its text, its confidence (0-100) and its
// box in image pixels, hugging the ink.
struct RecognisedWord {
    std::string text;
    float confidence = 0;
    int left = 0, top = 0, right = 0, bottom = 0;
    float inkShare = 0;  // of the box's pixels, the share that is ink
};

// The texts one recognised line of an image shows. Words read without
// confidence and words without a letter or digit (specks, bits of borders)
// are left out instead of sinking the line, and so is a filled icon read as
// a character at either end (an unread dot, a bell): one character in a
// squarish box mostly ink, which no letter is; words further apart than a space
// by far (a title and its value at the ends of a row, neighbouring pills)
// are separate texts; texts of fewer than two letters or digits are none.
// Each text's box spans the font's line height, estimated from its ink; its
// confidence is its words' mean.
std::vector<TextObservation> textsOfLine(const std::vector<RecognisedWord>& line, std::uint32_t imageWidth,
                                         std::uint32_t imageHeight);

}  // namespace audkit
