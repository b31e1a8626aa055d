#include "audkit/base/text_helpers.hpp"

#include <utf8proc.h>

#include <cstdlib>
#include <type_traits>
#include <utility>
#include <vector>

namespace audkit {
namespace {

// Calls visit(codePoint, bytes) for each code point; an invalid byte is handed
// on alone with code point -1.
template <class Visit>
void forEachCodePoint(std::string_view text, Visit&& visit) {
    for (std::size_t at = 0; at < text.size();) {
        utf8proc_int32_t codePoint = -1;
        auto length = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + at),
                                       static_cast<utf8proc_ssize_t>(text.size() - at), &codePoint);
        if (length <= 0) {
            length = 1;
            codePoint = -1;
        }
        // A visitor that answers false stops the walk.
        if constexpr (std::is_same_v<decltype(visit(codePoint, text.substr(at, 1))), bool>) {
            if (!visit(codePoint, text.substr(at, static_cast<std::size_t>(length)))) return;
        } else {
            visit(codePoint, text.substr(at, static_cast<std::size_t>(length)));
        }
        at += static_cast<std::size_t>(length);
    }
}

void appendCodePoint(std::string& out, utf8proc_int32_t codePoint) {
    utf8proc_uint8_t buffer[4];
    const auto length = utf8proc_encode_char(codePoint, buffer);
    out.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(length));
}

bool isPunctuation(utf8proc_int32_t codePoint) {
    if (codePoint < 0) return false;
    switch (utf8proc_category(codePoint)) {
        case UTF8PROC_CATEGORY_PC:
        case UTF8PROC_CATEGORY_PD:
        case UTF8PROC_CATEGORY_PS:
        case UTF8PROC_CATEGORY_PE:
        case UTF8PROC_CATEGORY_PI:
        case UTF8PROC_CATEGORY_PF:
        case UTF8PROC_CATEGORY_PO: return true;
        default: return false;
    }
}

bool isSymbol(utf8proc_int32_t codePoint) {
    if (codePoint < 0) return false;
    switch (utf8proc_category(codePoint)) {
        case UTF8PROC_CATEGORY_SM:
        case UTF8PROC_CATEGORY_SC:
        case UTF8PROC_CATEGORY_SK:
        case UTF8PROC_CATEGORY_SO: return true;
        default: return false;
    }
}

bool isCasedLetter(utf8proc_int32_t codePoint) {
    if (codePoint < 0) return false;
    const auto category = utf8proc_category(codePoint);
    return category == UTF8PROC_CATEGORY_LU || category == UTF8PROC_CATEGORY_LL || category == UTF8PROC_CATEGORY_LT;
}

template <class Predicate>
std::string removing(std::string_view text, Predicate&& remove) {
    std::string kept;
    kept.reserve(text.size());
    forEachCodePoint(text, [&](utf8proc_int32_t codePoint, std::string_view bytes) {
        if (!remove(codePoint)) kept += bytes;
    });
    return kept;
}

// Length in bytes of the white-space code point at `position`, or 0.
std::size_t whitespaceLengthAt(std::string_view text, std::size_t position) {
    utf8proc_int32_t codePoint = 0;
    const auto length = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + position),
                                         static_cast<utf8proc_ssize_t>(text.size() - position), &codePoint);
    if (length <= 0) return 0;
    return isWhitespaceOrNewline(static_cast<char32_t>(codePoint)) ? static_cast<std::size_t>(length) : 0;
}

// Length of the white-space code point that ends just before `end`, or 0.
std::size_t whitespaceLengthBefore(std::string_view text, std::size_t end) {
    std::size_t start = end;
    for (int steps = 0; start > 0 && steps < 4; ++steps) {
        --start;
        if ((static_cast<unsigned char>(text[start]) & 0xC0U) != 0x80U) break;  // not a continuation byte
    }
    const std::size_t length = whitespaceLengthAt(text.substr(0, end), start);
    return start + length == end ? length : 0;
}

}  // namespace

bool isWhitespaceOrNewline(char32_t codePoint) {
    if ((codePoint >= 0x09 && codePoint <= 0x0D) || codePoint == 0x85) return true;
    const auto category = utf8proc_category(static_cast<utf8proc_int32_t>(codePoint));
    return category == UTF8PROC_CATEGORY_ZS || category == UTF8PROC_CATEGORY_ZL || category == UTF8PROC_CATEGORY_ZP;
}

std::string trimmedWhitespaceAndNewlines(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const auto length = whitespaceLengthAt(text, begin);
        if (length == 0) break;
        begin += length;
    }
    std::size_t end = text.size();
    while (end > begin) {
        const auto length = whitespaceLengthBefore(text, end);
        if (length == 0) break;
        end -= length;
    }
    return std::string(text.substr(begin, end - begin));
}

bool isCjk(char32_t c) {
    return (c >= 0x3000 && c <= 0x30FF) ||  // CJK punctuation, hiragana, katakana
           (c >= 0x3400 && c <= 0x4DBF) ||  // ideographs, extension A
           (c >= 0x4E00 && c <= 0x9FFF) ||  // ideographs
           (c >= 0xF900 && c <= 0xFAFF) ||  // compatibility ideographs
           (c >= 0xFF00 && c <= 0xFFEF) ||  // full-width forms
           (c >= 0x20000 && c <= 0x3134F);  // ideographs, extensions B to G
}

bool containsCjk(std::string_view text) {
    bool found = false;
    forEachCodePoint(text, [&](utf8proc_int32_t codePoint, std::string_view) {
        found = codePoint >= 0 && isCjk(static_cast<char32_t>(codePoint));
        return !found;
    });
    return found;
}

std::size_t lettersAndDigits(std::string_view text) {
    std::size_t count = 0;
    forEachCodePoint(text, [&](utf8proc_int32_t codePoint, std::string_view) {
        if (codePoint < 0) return;
        const auto category = utf8proc_category(codePoint);
        if ((category >= UTF8PROC_CATEGORY_LU && category <= UTF8PROC_CATEGORY_LO) || category == UTF8PROC_CATEGORY_ND)
            ++count;
    });
    return count;
}

bool startsWithCjk(std::string_view text) {
    bool cjk = false;
    forEachCodePoint(text, [&](utf8proc_int32_t codePoint, std::string_view) {
        cjk = codePoint >= 0 && isCjk(static_cast<char32_t>(codePoint));
        return false;
    });
    return cjk;
}

bool endsWithCjk(std::string_view text) {
    // Back to the start of the last code point.
    std::size_t start = text.size();
    while (start > 0 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) --start;
    if (start > 0) --start;
    return startsWithCjk(text.substr(start));
}

std::optional<std::size_t> firstInvalidUtf8(std::string_view text) {
    std::optional<std::size_t> invalid;
    std::size_t at = 0;
    forEachCodePoint(text, [&](utf8proc_int32_t codePoint, std::string_view bytes) {
        if (codePoint < 0) {
            invalid = at;
            return false;
        }
        at += bytes.size();
        return true;
    });
    return invalid;
}

bool isBlank(std::string_view text) { return trimmedWhitespaceAndNewlines(text).empty(); }

bool isBlank(const std::optional<std::string>& text) { return !text || isBlank(std::string_view(*text)); }

std::string lowercased(std::string_view text) {
    constexpr utf8proc_int32_t capitalIWithDot = 0x130, capitalSigma = 0x3A3, finalSigma = 0x3C2;
    std::vector<std::pair<utf8proc_int32_t, std::string_view>> codePoints;
    forEachCodePoint(
        text, [&](utf8proc_int32_t codePoint, std::string_view bytes) { codePoints.emplace_back(codePoint, bytes); });
    std::string lower;
    lower.reserve(text.size());
    for (std::size_t i = 0; i < codePoints.size(); ++i) {
        const auto codePoint = codePoints[i].first;
        if (codePoint < 0) {
            lower += codePoints[i].second;
        } else if (codePoint == capitalIWithDot) {
            lower += "i\xCC\x87";  // i followed by a combining dot above
        } else if (codePoint == capitalSigma && i > 0 && isCasedLetter(codePoints[i - 1].first) &&
                   (i + 1 == codePoints.size() || !isCasedLetter(codePoints[i + 1].first))) {
            appendCodePoint(lower, finalSigma);
        } else {
            appendCodePoint(lower, utf8proc_tolower(codePoint));
        }
    }
    return lower;
}

namespace {

std::string mapped(std::string_view text, int options) {
    utf8proc_uint8_t* result = nullptr;
    const auto length =
        utf8proc_map(reinterpret_cast<const utf8proc_uint8_t*>(text.data()), static_cast<utf8proc_ssize_t>(text.size()),
                     &result, static_cast<utf8proc_option_t>(options));
    if (length < 0) return std::string(text);  // not valid UTF-8: left as it is
    std::string out(reinterpret_cast<const char*>(result), static_cast<std::size_t>(length));
    std::free(result);
    return out;
}

}  // namespace

std::string removingDiacritics(std::string_view text) { return mapped(text, UTF8PROC_DECOMPOSE | UTF8PROC_STRIPMARK); }

std::string removingDiacriticsAndWidth(std::string_view text) {
    return mapped(text, UTF8PROC_DECOMPOSE | UTF8PROC_STRIPMARK | UTF8PROC_COMPAT);
}

std::string removingPunctuation(std::string_view text) { return removing(text, isPunctuation); }
std::string removingSymbols(std::string_view text) { return removing(text, isSymbol); }

std::string removingWhitespaceAndNewlines(std::string_view text) {
    return removing(text, [](utf8proc_int32_t codePoint) {
        return codePoint >= 0 && isWhitespaceOrNewline(static_cast<char32_t>(codePoint));
    });
}

std::string comparisonForm(std::string_view text) {
    return removingWhitespaceAndNewlines(removingSymbols(removingPunctuation(lowercased(text))));
}

std::vector<std::string> graphemeClusters(std::string_view text) {
    std::vector<std::string> clusters;
    utf8proc_int32_t previous = -1;
    utf8proc_int32_t state = 0;
    forEachCodePoint(text, [&](utf8proc_int32_t codePoint, std::string_view bytes) {
        // An invalid byte stands alone, as the platform's replacement character would.
        if (codePoint < 0 || previous < 0 || utf8proc_grapheme_break_stateful(previous, codePoint, &state)) {
            clusters.emplace_back();
            if (codePoint < 0) state = 0;
        }
        clusters.back() += bytes;
        previous = codePoint;
    });
    return clusters;
}

std::size_t graphemeCount(std::string_view text) { return graphemeClusters(text).size(); }

std::size_t graphemeCount(std::string_view text, std::size_t atMost) {
    std::size_t count = 0;
    utf8proc_int32_t previous = -1;
    utf8proc_int32_t state = 0;
    forEachCodePoint(text, [&](utf8proc_int32_t codePoint, std::string_view) {
        // Breaks as graphemeClusters finds them.
        if (codePoint < 0 || previous < 0 || utf8proc_grapheme_break_stateful(previous, codePoint, &state)) {
            if (count == atMost) return false;
            ++count;
            if (codePoint < 0) state = 0;
        }
        previous = codePoint;
        return true;
    });
    return count;
}

}  // namespace audkit
