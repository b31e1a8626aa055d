#include "audkit/base/log_protocol.hpp"

#include <exception>

namespace audkit {

std::optional<std::string> ErrorMessages::message() const {
    if (const auto* exception = dynamic_cast<const std::exception*>(this)) return std::string(exception->what());
    return std::nullopt;
}

}  // namespace audkit
