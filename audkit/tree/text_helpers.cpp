#include "audkit/tree/text_helpers.hpp"

#include <utf8proc.h>

namespace audkit {
namespace {

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

bool isBlank(std::string_view text) { return trimmedWhitespaceAndNewlines(text).empty(); }

bool isBlank(const std::optional<std::string>& text) { return !text || isBlank(std::string_view(*text)); }

}  // namespace audkit
