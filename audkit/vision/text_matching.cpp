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
    const auto nameText = normalised(name);
    const auto detectedText = normalised(detected);
    if (jaroWinkler(nameText, detectedText) >= 0.8) return true;
    if (jaroWinkler(removingWhitespaceAndNewlines(nameText), removingWhitespaceAndNewlines(detectedText)) >= 0.8)
        return true;
    // A name inside a longer text attaches that text to it, but does not hold it.
    if (share == WordShare::enough && detectedText.find(nameText) != std::string::npos) return true;
    const auto pieces = spaceSeparatedWords(detectedText);
    const auto contained =
        static_cast<std::size_t>(std::count_if(pieces.begin(), pieces.end(), [&](const std::string& piece) {
            return nameText.find(piece) != std::string::npos;
        }));
    if (share == WordShare::all) return !pieces.empty() && contained == pieces.size();
    return enoughWordsCovered(contained, pieces.size());
}

bool shownTextMatches(std::string_view detected, std::string_view text) {
    const auto shown = removingPunctuation(lowercased(detected));
    const auto assigned = removingPunctuation(lowercased(text));
    if (shown.find(assigned) != std::string::npos) return true;
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
