#pragma once

#include <string>
#include <vector>

#include "audkit/tree/prop_key.hpp"
#include "audkit/tree/view_keys.hpp"

// Property keys that several rules record, and the two the runner adds to
// every bag.
namespace audkit::rulekey {

// Rules record these view facts under the view's own keys.
using viewkey::accessibilityTraits;
using viewkey::isAccessibilityFocusable;
using viewkey::isActiveControl;

inline constexpr PropKey<std::string> name{"name"};
inline constexpr PropKey<std::string> elementType{"elementType"};
inline constexpr PropKey<std::string> accessibilityIdentifier{"accessibilityIdentifier"};
inline constexpr PropKey<std::string> associatedText{"Associated Text"};

inline constexpr PropKey<std::string> className{"className"};
inline constexpr PropKey<std::vector<std::string>> ignoredRulesList{"ignoredRulesList"};

}  // namespace audkit::rulekey
