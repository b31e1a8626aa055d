#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace audkit::cli {

// The text in double quotes with quotes, backslashes and control characters
// escaped, so every printed record stays on one line.
std::string quote(std::string_view text);

// Text as XML or HTML content or a quoted attribute value: the five special
// characters and line breaks as references, and the control characters XML
// cannot hold at all replaced by U+FFFD.
std::string markup(std::string_view text);

// The text on one line, safe for a terminal: line breaks and tabs become
// blanks, other control characters (escape sequences) U+FFFD.
std::string oneLine(std::string_view text);

// Every command's error line (after "audkit: "): the error as one line, with
// the cause underneath where the library's own text does not say it (a
// refused connection, a refused certificate, the 401 behind "Please check
// your credentials"); a user check that failed for any other reason than the
// credentials leads with that reason instead.
std::string failureLine(const std::exception& error);

// The shortest decimal form of a number ("390", "12.5").
std::string number(double value);
std::string number(float value);

// Indentation for a tree line. Deep trees are shown with their depth instead of
// ever longer indentation, so output stays linear in the tree size.
std::string indentation(std::size_t depth);

}  // namespace audkit::cli
