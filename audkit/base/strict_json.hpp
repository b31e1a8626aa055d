#pragma once

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>

namespace audkit {

// Reads a JSON document into `document` as the library's own parser does and
// returns the first member name that appears twice in one object, if any:
// which of the two would count is anybody's guess, so readers of files
// people write refuse it. Throws nlohmann::json::exception on bad syntax or a
// number out of range.
std::optional<std::string> parseNotingRepeats(const std::string& text, nlohmann::json& document);

}  // namespace audkit
