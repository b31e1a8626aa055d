#pragma once

#include <cstddef>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>

namespace audkit {

// The deepest nesting a document from outside the program may have: far
// beyond any real reply or file, and far below what copying or writing a
// value (both recurse) can take on a thread's stack.
inline constexpr std::size_t maxJsonNesting = 512;

// Reads a document from outside the program (a server's reply, a file a
// person wrote) as nlohmann's parse does, but refuses one nested deeper than
// maxJsonNesting with a parse error saying so (100,000 nested arrays would
// overflow the stack once the value is copied). Without exceptions a refused
// document is discarded, as parse discards bad syntax.
template <class JsonT>
JsonT parseFromOutside(const std::string& text, bool allowExceptions = true);

// parseFromOutside into `document`, returning the first member name that
// appears twice in one object, if any: which of the two would count is
// anybody's guess, so readers of files people write refuse it. Throws
// nlohmann::json::exception on bad syntax, a number out of range or too deep
// a nesting.
std::optional<std::string> parseNotingRepeats(const std::string& text, nlohmann::json& document);

}  // namespace audkit
