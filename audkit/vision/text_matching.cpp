#include "audkit/vision/text_matching.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "audkit/base/text_helpers.hpp"

namespace audkit {
namespace {

// Lower-cased, without punctuation and symbols, white space kept, ends trimmed.
std::string normalised(std::string_view text) {
    return trimmedWhitespaceAndNewlines(removingSymbols(removingPunctuation(lowercased(text))));
}

}  // namespace

double jaroWinkler(std::string_view a, std::string_view b) {
    if (a == b) return 1.0;
    const auto first = graphemeClusters(a);
    const auto second = graphemeClusters(b);
    if (first.empty() || second.empty()) return 0.0;

    const std::size_t longer = std::max(first.size(), second.size());
    const std::size_t window = longer / 2 > 0 ? longer / 2 - 1 : 0;
    std::vector<bool> firstMatched(first.size()), secondMatched(second.size());
    std::size_t matches = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        const std::size_t from = i > window ? i - window : 0;
        const std::size_t to = std::min(i + window + 1, second.size());
        for (std::size_t j = from; j < to; ++j) {
            if (secondMatched[j] || first[i] != second[j]) continue;
            firstMatched[i] = secondMatched[j] = true;
            ++matches;
            break;
        }
    }
    if (matches == 0) return 0.0;
    std::size_t differing = 0;
    for (std::size_t i = 0, j = 0; i < first.size(); ++i) {
        if (!firstMatched[i]) continue;
        while (!secondMatched[j]) ++j;
        if (first[i] != second[j]) ++differing;
        ++j;
    }
    const double m = static_cast<double>(matches);
    const double jaro = (m / static_cast<double>(first.size()) + m / static_cast<double>(second.size()) +
                         (m - static_cast<double>(differing) / 2.0) / m) /
                        3.0;
    if (jaro <= 0.7) return jaro;
    std::size_t prefix = 0;
    while (prefix < std::min({first.size(), second.size(), std::size_t{4}}) && first[prefix] == second[prefix])
        ++prefix;
    return jaro + (1.0 - jaro) * static_cast<double>(prefix) * 0.1;
}

// The Jaro score is at most (1 + r + 1) / 3 for the ratio r of the shorter
// length to the longer, so under 0.7 when r < 0.1, and the prefix bonus
// applies only above 0.7. Counting stops as soon as the answer is known.
bool lengthsAllowSimilarity(std::string_view a, std::string_view b) {
    if (a == b) return true;
    const auto shorter = a.size() <= b.size() ? a : b;
    const auto longer = a.size() <= b.size() ? b : a;
    // The longer text has at most as many characters as bytes: a shorter
    // text of more than a tenth of that many characters is close enough.
    const std::size_t tenth = longer.size() / 10;
    const auto shorterCount = graphemeCount(shorter, tenth + 1);
    if (shorterCount > tenth) return true;
    const std::size_t enough = 10 * shorterCount + 1;
    return graphemeCount(longer, enough) < enough;
}

std::vector<std::string> spaceSeparatedWords(std::string_view text) {
    std::vector<std::string> words;
    for (std::size_t start = 0; start <= text.size();) {
        const auto end = std::min(text.find(' ', start), text.size());
        if (end > start) words.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

bool enoughWordsCovered(std::size_t covered, std::size_t total) {
    if (total == 0) return false;
    const double threshold = total < 6 ? 0.66 : 0.8;
    return static_cast<double>(covered) / static_cast<double>(total) >= threshold;
}

std::string strippingValue(const std::string& text, const std::string& value) {
    if (text == value || value.empty()) return text;
    std::string stripped;
    std::size_t from = 0;
    for (auto at = text.find(value); at != std::string::npos; at = text.find(value, from)) {
        stripped.append(text, from, at - from);
        from = at + value.size();
    }
    return stripped.append(text, from);
}

bool detectedTextMatches(std::string_view detected, std::string_view name, WordShare share) {
    return NameMatcher(name, share).matches(detected);
}

NameMatcher::NameMatcher(std::string_view name, WordShare share)
    : share_(share), text_(normalised(name)), compact_(removingWhitespaceAndNewlines(text_)) {}

bool NameMatcher::matches(std::string_view detected) const {
    const auto detectedText = normalised(detected);
    if (lengthsAllowSimilarity(text_, detectedText) && jaroWinkler(text_, detectedText) >= 0.8) return true;
    const auto compactDetected = removingWhitespaceAndNewlines(detectedText);
    if (lengthsAllowSimilarity(compact_, compactDetected) && jaroWinkler(compact_, compactDetected) >= 0.8) return true;
    // A name inside a longer text attaches that text to it, but does not hold it.
    if (share_ == WordShare::enough && detectedText.find(text_) != std::string::npos) return true;
    const auto pieces = spaceSeparatedWords(detectedText);
    const auto contained =
        static_cast<std::size_t>(std::count_if(pieces.begin(), pieces.end(), [&](const std::string& piece) {
            return text_.find(piece) != std::string::npos;
        }));
    if (share_ == WordShare::all) return !pieces.empty() && contained == pieces.size();
    return enoughWordsCovered(contained, pieces.size());
}

bool shownTextMatches(std::string_view detected, std::string_view text) {
    const auto shown = removingPunctuation(lowercased(detected));
    const auto assigned = removingPunctuation(lowercased(text));
    if (shown.find(assigned) != std::string::npos) return true;
    // Recognition puts blanks where the text has none, between Chinese or
    // Japanese and Latin letters above all, and drops narrow ones.
    const auto withoutBlanks = [](std::string value) {
        value.erase(std::remove(value.begin(), value.end(), ' '), value.end());
        return value;
    };
    const auto compact = withoutBlanks(assigned);
    if (!compact.empty() && withoutBlanks(shown).find(compact) != std::string::npos) return true;
    // Pieces between single blanks; empty pieces count but never match.
    const auto pieces = [](const std::string& value) {
        std::vector<std::string> result;
        std::size_t start = 0;
        for (std::size_t blank; (blank = value.find(' ', start)) != std::string::npos; start = blank + 1)
            result.push_back(value.substr(start, blank - start));
        result.push_back(value.substr(start));
        return result;
    };
    const auto shownPieces = pieces(shown);
    const auto assignedPieces = pieces(assigned);
    // A shown piece counts when it is a whole word of the text: the start of
    // a word that something covers or cuts off does not show that word.
    const auto contained = std::count_if(shownPieces.begin(), shownPieces.end(), [&](const std::string& piece) {
        return !piece.empty() && std::find(assignedPieces.begin(), assignedPieces.end(), piece) != assignedPieces.end();
    });
    const double share = shownPieces.size() > 5 ? 0.8 : 0.66;
    const auto covered = static_cast<double>(contained);
    return covered / static_cast<double>(shownPieces.size()) >= share &&
           covered / static_cast<double>(assignedPieces.size()) >= share;
}

}  // namespace audkit
