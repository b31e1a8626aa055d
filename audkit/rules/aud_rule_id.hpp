#pragma once

#include <memory>
#include <string_view>

#include "audkit/rules/rule_vocabulary.hpp"

namespace audkit {

class AudRule;

// The catalogue of built-in rules; the raw value is the position.
enum class AudRuleId : int {
    a11yElementFocusBox = 0,
    activeControlName,
    associatedText,
    collidingViews,
    colorContrast,
    conflictingTraits,
    focusableText,
    imageViewName,
    inScrollView,
    inaccessibleAction,
    labelAtFront,
    labelInName,
    meaningfulAccessibleName,
    nestedElementsName,
    screenOrientation,
    screenTitle,
    supportsDynamicType,
    touchTargetSize,
    touchTargetSpacing,
    unexposedText,
};

template <>
struct AudEnumTraits<AudRuleId> {
    using R = AudRuleId;
    static constexpr std::string_view typeName = "AudRuleId";
    static constexpr std::array<std::pair<R, std::string_view>, 20> cases{{
        {R::a11yElementFocusBox, "A11yElementFocusBox"},
        {R::activeControlName, "ActiveControlName"},
        {R::associatedText, "AssociatedText"},
        {R::collidingViews, "CollidingViews"},
        {R::colorContrast, "ColorContrast"},
        {R::conflictingTraits, "ConflictingTraits"},
        {R::focusableText, "FocusableText"},
        {R::imageViewName, "ImageViewName"},
        {R::inScrollView, "InScrollView"},
        {R::inaccessibleAction, "InaccessibleAction"},
        {R::labelAtFront, "LabelAtFront"},
        {R::labelInName, "LabelInName"},
        {R::meaningfulAccessibleName, "MeaningfulAccessibleName"},
        {R::nestedElementsName, "NestedElementsName"},
        {R::screenOrientation, "ScreenOrientation"},
        {R::screenTitle, "ScreenTitle"},
        {R::supportsDynamicType, "SupportsDynamicType"},
        {R::touchTargetSize, "TouchTargetSize"},
        {R::touchTargetSpacing, "TouchTargetSpacing"},
        {R::unexposedText, "UnexposedText"},
    }};
};

// A fresh instance of the rule with its catalogue configuration. The one place
// that knows the catalogue (rule_catalogue.cpp).
std::shared_ptr<AudRule> makeRule(AudRuleId id);

}  // namespace audkit
