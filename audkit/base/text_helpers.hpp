#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace audkit {

// White space and newlines as the platform defines them: the Unicode space
// separators (Zs, Zl, Zp), tab, line feed, vertical tab, form feed, carriage
// return and next line.
bool isWhitespaceOrNewline(char32_t codePoint);

// The text without leading and trailing white space and newlines. Bytes that
// are not valid UTF-8 are kept as they are.
std::string trimmedWhitespaceAndNewlines(std::string_view text);

// The byte offset of the first byte that does not belong to valid UTF-8;
// none when the whole text is valid.
std::optional<std::size_t> firstInvalidUtf8(std::string_view text);

// Chinese and Japanese script (ideographs, kana, their punctuation and
// full-width forms): written without spaces between words, and drawn to
// nearly the full height of the font.
bool isCjk(char32_t codePoint);
bool containsCjk(std::string_view text);
// The letters (L*) and decimal digits (Nd) of a text, CJK script included.
std::size_t lettersAndDigits(std::string_view text);
// Whether the text's first / last code point is one of them.
bool startsWithCjk(std::string_view text);
bool endsWithCjk(std::string_view text);

// Absent, empty, or only white space and newlines.
bool isBlank(std::string_view text);
inline bool isBlank(const std::string& text) { return isBlank(std::string_view(text)); }
bool isBlank(const std::optional<std::string>& text);

// Lower-cased with the full Unicode mapping, as the platform lower-cases:
// "İ" becomes "i̇" and a word-final "Σ" becomes "ς".
std::string lowercased(std::string_view text);

// The text with combining marks removed after canonical decomposition
// ("é" becomes "e").
// Also folds width and other compatibility forms ("ＩＭＡＧＥ" reads "IMAGE").
std::string removingDiacriticsAndWidth(std::string_view text);
std::string removingDiacritics(std::string_view text);

// The text with every punctuation (P*), symbol (S*) or white-space character
// removed, each kind on its own.
std::string removingPunctuation(std::string_view text);
std::string removingSymbols(std::string_view text);
std::string removingWhitespaceAndNewlines(std::string_view text);

// The form in which texts are compared: lower-cased, without punctuation,
// symbols and any white space.
std::string comparisonForm(std::string_view text);

// The user-perceived characters (extended grapheme clusters), in order.
std::vector<std::string> graphemeClusters(std::string_view text);
std::size_t graphemeCount(std::string_view text);
// The same, counting no further than `atMost` (the answer is then atMost).
std::size_t graphemeCount(std::string_view text, std::size_t atMost);

}  // namespace audkit
