#pragma once

#include "audkit/base/aud_enum.hpp"

namespace audkit {

// The outcome of a rule for one view.
enum class AudStatus : int { inapplicable = 0, incomplete = 1, pass = 2, fail = 3, ignored = 4 };

template <>
struct AudEnumTraits<AudStatus> {
    static constexpr std::string_view typeName = "AudStatus";
    static constexpr std::array<std::pair<AudStatus, std::string_view>, 5> cases{{
        {AudStatus::inapplicable, "INAPPLICABLE"},
        {AudStatus::incomplete, "INCOMPLETE"},
        {AudStatus::pass, "PASS"},
        {AudStatus::fail, "FAIL"},
        {AudStatus::ignored, "IGNORED"},
    }};
};

enum class AudImpact : int { minor = 0, moderate = 1, serious = 2, critical = 3 };

template <>
struct AudEnumTraits<AudImpact> {
    static constexpr std::string_view typeName = "AudImpact";
    static constexpr std::array<std::pair<AudImpact, std::string_view>, 4> cases{{
        {AudImpact::minor, "MINOR"},
        {AudImpact::moderate, "MODERATE"},
        {AudImpact::serious, "SERIOUS"},
        {AudImpact::critical, "CRITICAL"},
    }};
};

enum class AudStandard : int { wcag20 = 0, wcag21 = 1, wcag22 = 2, platform = 3, bestPractice = 4 };

template <>
struct AudEnumTraits<AudStandard> {
    static constexpr std::string_view typeName = "AudStandard";
    static constexpr std::array<std::pair<AudStandard, std::string_view>, 5> cases{{
        {AudStandard::wcag20, "WCAG 2.0"},
        {AudStandard::wcag21, "WCAG 2.1"},
        {AudStandard::wcag22, "WCAG 2.2"},
        {AudStandard::platform, "Platform"},
        {AudStandard::bestPractice, "Best Practice"},
    }};
};

}  // namespace audkit
