#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace audkit {

// Standard base64 (RFC 4648 alphabet, with padding, no line breaks).
std::string base64Encode(std::string_view bytes);
// None for text that is not such base64.
std::optional<std::string> base64Decode(std::string_view text);

}  // namespace audkit
