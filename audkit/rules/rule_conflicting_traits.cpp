#include "audkit/rules/rule_conflicting_traits.hpp"

#include <array>

#include "audkit/tree/aud_view.hpp"

namespace audkit {
namespace {

// Groups of traits of which a view may hold at most one, in the order checked.
constexpr std::array<std::uint64_t, 14> conflicts{0xc403, 0xc422, 0xd422,  0x1464, 0x5802, 0x11020, 0x40a0,
                                                  0x640,  0x3000, 0x14000, 0x108,  0x140,  0x300,   0x8200};

}  // namespace

std::shared_ptr<AudProps> RuleConflictingTraits::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    const auto traits = view.get(viewkey::accessibilityTraits);
    props->add(rulekey::accessibilityTraits, traits);
    props->add(rulekey::isAccessibilityFocusable, view.isAccessibilityFocusable);
    if (!traits || traits->isEmpty() || !view.isAccessibilityFocusable) return props;
    AudTraits conflicting;
    for (const auto mask : conflicts) {
        const auto overlap = traits->rawValue & mask;
        if ((overlap & (overlap - 1)) != 0) {
            conflicting = AudTraits(overlap);
            break;
        }
    }
    props->add(conflictingTraitsKey, conflicting);
    return props;
}

AudStatus RuleConflictingTraits::runRule(const AudProps& props) {
    const auto conflicting = props.get(conflictingTraitsKey);
    if (!conflicting) return AudStatus::inapplicable;
    return conflicting->isEmpty() ? AudStatus::pass : AudStatus::fail;
}

}  // namespace audkit
