#pragma once

#include <stdexcept>
#include <string>

#include "audkit/base/log_protocol.hpp"

namespace audkit {

// Base of every error the library throws; `what()` is the human-readable
// description.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& description) : std::runtime_error(description) {}
    std::string description() const { return what(); }
};

// An error in the ErrorMessages role: logged at error level, INCOMPLETE in a rule.
class MessageError : public Error, public ErrorMessages {
public:
    using Error::Error;
};

}  // namespace audkit
