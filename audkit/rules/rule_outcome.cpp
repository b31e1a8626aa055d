#include "audkit/rules/rule_outcome.hpp"

#include <exception>

namespace audkit {

RuleOutcome decideOutcome(AudRule& rule, const AudProps& props) {
    try {
        const auto status = rule.runRule(props);
        return {status, status == AudStatus::pass ? rule.passingDescription() : std::nullopt};
    } catch (const std::exception& error) {
        const auto status =
            dynamic_cast<const ResultDescription*>(&error) != nullptr ? AudStatus::fail : AudStatus::incomplete;
        const auto* messages = dynamic_cast<const ErrorMessages*>(&error);
        return {status, messages && messages->message() ? *messages->message() : std::string(error.what())};
    } catch (...) {
        return {AudStatus::incomplete, "Unknown error."};
    }
}

}  // namespace audkit
