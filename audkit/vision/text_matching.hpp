#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace audkit {

// Jaro-Winkler similarity of two texts, compared by user-perceived characters.
double jaroWinkler(std::string_view a, std::string_view b);

// False when jaroWinkler(a, b) is certainly below 0.7: one text has more than
// ten times the characters of the other. Cheap however long the texts are, so
// a huge text is never split into characters to be compared with a short one.
bool lengthsAllowSimilarity(std::string_view a, std::string_view b);

// How many of the detected words must appear in the name when the whole texts
// are not alike: enough of them (to attach recognised lines to views), or all
// of them (to judge whether a name holds what the view shows).
enum class WordShare { enough, all };

// Whether text found on the screenshot matches a name, allowing for
// recognition errors: close Jaro-Winkler scores, the name inside the detected
// text (only when attaching), or the share of the detected words inside the
// name.
bool detectedTextMatches(std::string_view detected, std::string_view name, WordShare share = WordShare::enough);

// detectedTextMatches for one name against many detected texts: the name is
// put in comparison form once, which matters for long names.
class NameMatcher {
public:
    explicit NameMatcher(std::string_view name, WordShare share = WordShare::enough);
    bool matches(std::string_view detected) const;

private:
    WordShare share_;
    std::string text_;     // lower-cased, without punctuation and symbols, trimmed
    std::string compact_;  // the same without white space
};

// The pieces of a text between single spaces, empty pieces dropped.
std::vector<std::string> spaceSeparatedWords(std::string_view text);

// Whether `covered` of `total` words is enough: two thirds of a short text
// (under six words), four fifths of a longer one; never for no words.
bool enoughWordsCovered(std::size_t covered, std::size_t total);

// A text in comparison form without the view's value in the same form: the
// text itself when it is the value, else the text with every occurrence of
// the value cut out (an empty value cuts nothing).
std::string strippingValue(const std::string& text, const std::string& value);

// Whether the text found on screen shows a view's whole text: it holds the
// text (case, punctuation and blanks aside), or enough of the words found
// are whole words of the text and they make up enough of the text: two
// thirds, four fifths when more than five words were found.
bool shownTextMatches(std::string_view detected, std::string_view text);

}  // namespace audkit
