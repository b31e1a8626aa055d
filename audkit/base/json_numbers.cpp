#include "audkit/base/json_numbers.hpp"

#include <limits>
#include <nlohmann/json.hpp>
#include <string>

namespace audkit {

std::int64_t integerAt(const Json& object, const char* key) {
    const auto& value = object.at(key);
    const bool fits = value.is_number_integer() &&
                      (!value.is_number_unsigned() || value.get<std::uint64_t>() <= static_cast<std::uint64_t>(
                                                                                          std::numeric_limits<std::int64_t>::max()));
    if (!fits) {
        auto shown = value.is_structured() ? std::string(value.type_name())
                                           : value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        if (shown.size() > 40) shown = shown.substr(0, 40) + "...";
        throw Error("member \"" + std::string(key) + "\" must be an integer, found " + shown);
    }
    return value.get<std::int64_t>();
}

}  // namespace audkit
