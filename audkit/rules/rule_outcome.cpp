#include "audkit/rules/rule_outcome.hpp"

#include <algorithm>
#include <exception>

#include "audkit/tree/accessibility_attribute.hpp"
#include "audkit/tree/aud_view.hpp"

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

std::optional<std::string> inferredFactBehind(const AudRule& rule, const AudView& view) {
    if (rule.restsOn() == noFact) return std::nullopt;
    const auto inferred = view.get(viewkey::inferredAttributes);
    if (!inferred) return std::nullopt;
    auto wasInferred = [&](AccessibilityAttribute attribute) {
        return std::find(inferred->begin(), inferred->end(), attributeKey(attribute)) != inferred->end();
    };
    if ((rule.restsOn() & elementFlag) && wasInferred(AccessibilityAttribute::isElement))
        return "whether the element is an accessibility element";
    if ((rule.restsOn() & traitBits) && wasInferred(AccessibilityAttribute::traits))
        return "the element's accessibility traits";
    return std::nullopt;
}

}  // namespace audkit
