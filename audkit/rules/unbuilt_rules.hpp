#pragma once

#include <memory>

#include "audkit/rules/aud_rule.hpp"

// The catalogue facts of the rules whose checks are not built yet. A rule's
// facts move into its own header when its class is written.
namespace audkit::unbuilt {

inline constexpr RuleInfo supportsDynamicType{.id = AudRuleId::supportsDynamicType,
                                              .standard = AudStandard::platform,
                                              .impact = AudImpact::critical,
                                              .experimental = true,
                                              .ignoredByDefault = true,
                                              .summary =
                                                  "Text elements should have the required properties to support "
                                                  "Dynamic Type and resize the text to the user's device preference."};

// A catalogued rule whose checks are not built yet: every view is
// INAPPLICABLE, so it adds no result.
class UnbuiltRule : public AudRule {
public:
    using AudRule::AudRule;
    std::shared_ptr<AudProps> collectProps(const AudView&) override { return std::make_shared<AudProps>(); }
    AudStatus runRule(const AudProps&) override { return AudStatus::inapplicable; }
};

}  // namespace audkit::unbuilt
