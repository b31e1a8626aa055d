#pragma once

#include <string>
#include <vector>

namespace audkit {

// The recognition languages chosen for a screen from its own texts.
struct RecognitionLanguages {
    std::string languages;             // Tesseract's codes joined with + ("chi_sim+eng")
    std::vector<std::string> missing;  // codes the texts call for whose models are not installed
};

// The Tesseract languages for a screen whose elements record these texts, by
// the scripts of their letters: Han (chi_sim, or jpn with kana beside it),
// kana (jpn), Hangul (kor), Cyrillic (rus), Greek (ell), Arabic (ara), Hebrew
// (heb), Thai (tha), Devanagari (hin) and Latin (eng). A script counts from
// two letters on (one letter is a symbol or a stray character); the script
// with the most letters comes first. Without letters of any script the
// screen is read as English. A language whose model is not in `installed` is
// left out and named in `missing`; English stands in when nothing is left.
RecognitionLanguages languagesForTexts(const std::vector<std::string>& texts,
                                       const std::vector<std::string>& installed);

// Debian's package of a language's model: "chi_sim" is tesseract-ocr-chi-sim.
std::string languagePackage(std::string code);

// What a user is told of a screen whose language's model is missing: the
// language and the package that brings it.
std::string missingModelNote(const std::string& code);

}  // namespace audkit
