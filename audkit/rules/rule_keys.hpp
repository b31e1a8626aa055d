#pragma once

#include <string>
#include <vector>

#include "audkit/tree/aud_traits.hpp"
#include "audkit/tree/prop_key.hpp"

// Property keys that several rules record, and the two the runner adds to
// every bag.
namespace audkit::rulekey {

inline constexpr PropKey<std::string> name{"name"};
inline constexpr PropKey<bool> isAccessibilityFocusable{"isAccessibilityFocusable"};
inline constexpr PropKey<bool> isActiveControl{"isActiveControl"};
inline constexpr PropKey<std::string> elementType{"elementType"};
inline constexpr PropKey<std::string> accessibilityIdentifier{"accessibilityIdentifier"};
inline constexpr PropKey<AudTraits> accessibilityTraits{"accessibilityTraits"};
inline constexpr PropKey<std::string> associatedText{"Associated Text"};

inline constexpr PropKey<std::string> className{"className"};
inline constexpr PropKey<std::vector<std::string>> ignoredRulesList{"ignoredRulesList"};

}  // namespace audkit::rulekey
