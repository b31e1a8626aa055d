#pragma once

// The JSON type that every JSON form of the library is written to and read from.
// Only the forward declarations: the full nlohmann header stays in .cpp files.
#include <nlohmann/json_fwd.hpp>

namespace audkit {
using Json = nlohmann::ordered_json;
}
