#pragma once

#include <string_view>

namespace audkit {

// Jaro-Winkler similarity of two texts, compared by user-perceived characters.
double jaroWinkler(std::string_view a, std::string_view b);

// Whether text found on the screenshot matches a name, allowing for
// recognition errors: close Jaro-Winkler scores, containment, or enough of the
// detected words inside the name.
bool detectedTextMatches(std::string_view detected, std::string_view name);

}  // namespace audkit
