#pragma once

#include <string_view>

namespace audkit {

// A property key with the kind of value it holds: property bags take and give
// typed values through it, so a misspelt key or a value of the wrong kind
// does not compile. The name is the literal key of the result document.
template <class T>
struct PropKey {
    using Value = T;
    std::string_view name;
};

}  // namespace audkit
