#include "audkit/base/aud_enum.hpp"

namespace audkit {
namespace {

std::string enumErrorMessage(std::string_view typeName, std::string_view text,
                             const std::vector<std::string_view>& caseNames) {
    std::string message(typeName);
    message += ' ';
    message += text;
    message += " does not exist. Valid rawValues are";
    for (const auto name : caseNames) {
        message += "\n\t";
        message += name;
    }
    return message;
}

}  // namespace

AudEnumError::AudEnumError(std::string_view typeName, std::string_view text,
                           const std::vector<std::string_view>& caseNames)
    : MessageError(enumErrorMessage(typeName, text, caseNames)), text_(text) {}

}  // namespace audkit
