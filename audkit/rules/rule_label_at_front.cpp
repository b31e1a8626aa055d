#include "audkit/rules/rule_label_at_front.hpp"

namespace audkit {

// A name that holds the visible text elsewhere than at its start is a plain FAIL.
AudStatus RuleLabelAtFront::runRule(const AudProps& props) {
    return judge(props, Placement::atFront).value_or(AudStatus::fail);
}

}  // namespace audkit
