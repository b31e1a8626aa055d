#include "audkit/rules/rule_color_contrast.hpp"

#include <algorithm>

#include "audkit/tree/aud_view.hpp"

namespace audkit {
namespace {

using T = AudElementType;

bool notEnabled(const AudView& view) {
    const auto traits = view.get(viewkey::accessibilityTraits);
    return traits && traits->contains(AudTraits::notEnabled);
}

const AudView* focusableAncestor(const AudView& view) {
    for (const AudView* node = view.parent; node; node = node->parent)
        if (node->isAccessibilityFocusable) return node;
    return nullptr;
}

bool isDisabledControl(const AudView& view) {
    if (view.get(viewkey::isActiveControl).value_or(false) && view.isAccessibilityFocusable) {
        if (notEnabled(view)) return true;
        if (const auto enabled = view.get(viewkey::isEnabled)) return !*enabled;
    }
    if (!view.isChildOfProp(viewkey::isActiveControl)) return false;
    const auto* ancestor = focusableAncestor(view);
    if (!ancestor) return false;
    if (notEnabled(*ancestor)) return true;
    if (const auto enabled = ancestor->get(viewkey::isEnabled)) return !*enabled;
    return false;
}

std::string joinedLines(const std::vector<FoundText>& foundTexts) {
    std::string text;
    for (std::size_t i = 0; i < foundTexts.size(); ++i) text += (i ? "\n" : "") + foundTexts[i].text;
    return text;
}

// The pair a reader should look at: the lowest failing pair, else the lowest.
AudColorContrast decidingPair(const std::vector<AudColorContrast>& pairs) {
    const auto lowest = [](const AudColorContrast& a, const AudColorContrast& b) {
        return a.contrast() < b.contrast();
    };
    std::vector<AudColorContrast> failing;
    for (const auto& pair : pairs)
        if (!RuleColorContrast::judge(pair).passes) failing.push_back(pair);
    const auto& from = failing.empty() ? pairs : failing;
    return *std::min_element(from.begin(), from.end(), lowest);
}

}  // namespace

bool RuleColorContrast::isApplicable(const AudView& view) {
    if (const auto offScreen = view.get(viewkey::elementOffScreen); offScreen && offScreen->offScreenAmount >= 1.0F)
        return false;
    if (view.elementType == T::picker || view.elementType == T::image) return false;
    if (view.isChildOfElementType(T::picker) || view.elementType == T::datePicker) return false;
    if (view.isChildOfElementType(T::datePicker) || view.isChildOfElementType(T::navigationBar) ||
        view.isChildOfElementType(T::statusBar))
        return false;
    if (isDisabledControl(view)) return false;
    if (view.elementType == T::cell && view.get(viewkey::isActiveControl).value_or(false) &&
        std::any_of(view.children.begin(), view.children.end(),
                    [](const auto& child) { return child->detectedText.has_value(); }))
        return false;
    const bool insideControl = view.isChildOfProp(viewkey::isActiveControl);
    if (insideControl && view.className == "_UIStepperButton") return false;
    if (!insideControl) return true;
    if (const auto* ancestor = focusableAncestor(view); ancestor && notEnabled(*ancestor)) return false;
    return view.className != "UIButtonLabel";
}

bool RuleColorContrast::isLargeText(const AudColorContrast& pair) {
    return pair.estimatedFontSize >= largeTextPoints ||
           (pair.estimatedFontSize >= largeBoldTextPoints && pair.fontIsBold);
}

RuleColorContrast::PairVerdict RuleColorContrast::judge(const AudColorContrast& pair) {
    if (pair.colorA.isTransparent() || pair.colorB.isTransparent()) return {false, true};
    const double ratio = pair.contrast();
    if (ratio >= minimumSmallTextContrast) return {true, false};
    if (ratio < minimumLargeTextContrast) return {false, true};
    return {isLargeText(pair), false};
}

std::shared_ptr<AudProps> RuleColorContrast::collectVisionProps(const AudView& view,
                                                                const std::vector<FoundText>& foundTexts,
                                                                const std::vector<std::shared_ptr<AudView>>&) {
    auto props = std::make_shared<AudProps>();
    if (!isApplicable(view)) return props;
    props->add(detectedTextKey, joinedLines(foundTexts));
    if (const auto offScreen = view.get(viewkey::elementOffScreen))
        props->add(elementOffScreenKey, offScreen->offScreenAmount);
    if (view.get(viewkey::keyboardOnScreen).value_or(false) &&
        (view.elementType == T::textField || view.elementType == T::searchField))
        props->add(cursorMayBePresentKey, true);

    std::vector<AudColorContrast> collected;
    for (const auto& found : foundTexts) {
        ColorContrastHelper helper(found);
        try {
            helper.analyse();
        } catch (const ColorContrastError& error) {
            props->add(errorKey, std::string(error.what()));
            return props;
        } catch (const std::exception&) {
            props->add(errorKey, std::string(unhandledError));
            return props;
        }
        for (const auto& pair : helper.allColorContrasts())
            if ((pair.colorA.isTransparent() || pair.colorB.isTransparent() || pair.contrast() >= unreadableContrast) &&
                std::find(collected.begin(), collected.end(), pair) == collected.end())
                collected.push_back(pair);
    }
    if (collected.empty()) {
        props->add(errorKey, std::string(ColorContrastError::unableDetectColors().what()));
        return props;
    }
    if (collected.size() != 1) {
        std::vector<AudColorContrast> clear;
        for (const auto& pair : collected)
            if (!pair.colorA.isTransparent() && !pair.colorB.isTransparent() && pair.contrast() >= minimumContrastRatio)
                clear.push_back(pair);
        if (!clear.empty()) collected = std::move(clear);
    }
    props->add(decidingPairKey, decidingPair(collected));
    props->add(allColorContrastsKey, std::move(collected));
    return props;
}

AudImpact RuleColorContrast::impactFor(const AudProps& props) const {
    const auto pairs = props.get(allColorContrastsKey);
    // A team's own impact for the rule stands over the measured one.
    if (!pairs || pairs->empty() || config()->impact != info.impact) return config()->impact;
    const bool serious =
        std::any_of(pairs->begin(), pairs->end(), [](const auto& pair) { return judge(pair).serious; });
    return serious ? AudImpact::serious : AudImpact::moderate;
}

AudStatus RuleColorContrast::runRule(const AudProps& props) {
    const auto detected = props.get(detectedTextKey);
    if (!detected || detected->empty()) return AudStatus::inapplicable;
    auto verdict = AudStatus::inapplicable;
    if (const auto pairs = props.get(allColorContrastsKey); pairs && !pairs->empty()) {
        const bool allPass =
            std::all_of(pairs->begin(), pairs->end(), [](const auto& pair) { return judge(pair).passes; });
        if (allPass) return AudStatus::pass;
        verdict = AudStatus::fail;
    }
    if (const auto error = props.get(errorKey)) {
        if (*error == ColorContrastError::unableDetectColors().what()) throw ColorContrastError::unableDetectColors();
        if (*error == ColorContrastError::textFieldEditing().what()) throw ColorContrastError::textFieldEditing();
        throw ColorContrastError::tooManyColors();
    }
    if (props.get(cursorMayBePresentKey).value_or(false) && verdict == AudStatus::fail)
        throw ColorContrastError::textFieldEditing();
    if (props.get(elementOffScreenKey).value_or(0) > 0.001F) throw RuleHelperError::offScreen();
    return verdict;
}

}  // namespace audkit
