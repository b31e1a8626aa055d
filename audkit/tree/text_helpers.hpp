#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace audkit {

// White space and newlines as the platform defines them: the Unicode space
// separators (Zs, Zl, Zp), tab, line feed, vertical tab, form feed, carriage
// return and next line.
bool isWhitespaceOrNewline(char32_t codePoint);

// The text without leading and trailing white space and newlines. Bytes that
// are not valid UTF-8 are kept as they are.
std::string trimmedWhitespaceAndNewlines(std::string_view text);

// Absent, empty, or only white space and newlines.
bool isBlank(std::string_view text);
inline bool isBlank(const std::string& text) { return isBlank(std::string_view(text)); }
bool isBlank(const std::optional<std::string>& text);

}  // namespace audkit
