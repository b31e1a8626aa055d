#include "audkit/network/server_errors.hpp"
#include "audkit/base/strict_json.hpp"

#include <nlohmann/json.hpp>

namespace audkit {

std::string jsonTypeName(const Json& value) {
    switch (value.type()) {
        case Json::value_t::string: return "String";
        case Json::value_t::number_integer:
        case Json::value_t::number_unsigned: return "Int";
        case Json::value_t::number_float: return "Double";
        case Json::value_t::boolean: return "Bool";
        case Json::value_t::object: return "Dictionary";
        case Json::value_t::array: return "Array";
        default: return "Null";
    }
}

Json replyObject(const std::string& body) {
    auto reply = parseFromOutside<Json>(body, false);
    if (reply.is_discarded()) throw ServerFormatError::unexpectedFormat("Dictionary", "text that is not JSON");
    if (!reply.is_object()) throw ServerFormatError::unexpectedFormat("Dictionary", jsonTypeName(reply));
    return reply;
}

std::string stringMember(const Json& reply, const char* key) {
    const auto found = reply.find(key);
    if (found == reply.end()) throw ServerFieldError::keyNotFound(key);
    if (!found->is_string()) throw ServerFieldError::unexpectedType(key, "String", jsonTypeName(*found));
    return found->get<std::string>();
}

std::int64_t integerMember(const Json& reply, const char* key) {
    const auto found = reply.find(key);
    if (found == reply.end()) throw ServerFieldError::keyNotFound(key);
    if (!found->is_number_integer()) throw ServerFieldError::unexpectedType(key, "Int", jsonTypeName(*found));
    return found->get<std::int64_t>();
}

}  // namespace audkit
