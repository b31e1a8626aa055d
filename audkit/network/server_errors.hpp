#pragma once

#include <string>
#include <string_view>

#include "audkit/base/error.hpp"
#include "audkit/base/json.hpp"

namespace audkit {

// One member of a JSON reply is missing or of another type.
class ServerFieldError : public MessageError {
public:
    static ServerFieldError keyNotFound(std::string_view key) {
        return ServerFieldError("Could not find " + std::string(key) + " in server response.");
    }
    static ServerFieldError unexpectedType(std::string_view key, std::string_view expected, std::string_view actual) {
        return ServerFieldError(std::string(key) + " expected to be of type " + std::string(expected) +
                                ". Server returned it as type " + std::string(actual) + ".");
    }

private:
    using MessageError::MessageError;
};

// A reply of the wrong JSON shape.
class ServerFormatError : public MessageError {
public:
    static ServerFormatError unexpectedFormat(std::string_view expected, std::string_view received) {
        return ServerFormatError("Could not parse JSON returned by server. Expected " + std::string(expected) +
                                 " but received " + std::string(received));
    }

private:
    using MessageError::MessageError;
};

// The name of a JSON value's type as errors show it ("String", "Int", ...).
std::string jsonTypeName(const Json& value);

// The reply as a JSON object; throws ServerFormatError for anything else.
Json replyObject(const std::string& body);
// Typed members of a reply object; throw ServerFieldError.
std::string stringMember(const Json& reply, const char* key);
std::int64_t integerMember(const Json& reply, const char* key);

}  // namespace audkit
