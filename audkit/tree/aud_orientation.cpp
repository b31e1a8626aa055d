#include "audkit/tree/aud_orientation.hpp"

#include <nlohmann/json.hpp>

namespace audkit {

void to_json(Json& json, const AudOrientation& orientation) { json = std::string(toString(orientation)); }

void from_json(const Json& json, AudOrientation& orientation) {
    orientation = parseAudEnum<AudOrientation>(json.get_ref<const std::string&>());
}

}  // namespace audkit
