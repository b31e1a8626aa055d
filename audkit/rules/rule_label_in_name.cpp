#include "audkit/rules/rule_label_in_name.hpp"

#include <algorithm>

#include "audkit/base/text_helpers.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/vision/text_matching.hpp"

namespace audkit {
namespace {

// The view is a control, or holds one that speaks through it.
bool isOrContainsControl(const AudView& view) {
    bool found = false;
    visitPreOrder(view, [&](const AudView& node) {
        if (node.get(viewkey::isActiveControl).value_or(false) && (&node == &view || !node.isAccessibilityFocusable)) {
            found = true;
            return RunStatus::stop;
        }
        return RunStatus::proceed;
    });
    return found;
}

// A text in comparison form is too short to judge under two characters.
bool isShort(const std::optional<std::string>& text) { return !text || graphemeCount(*text) < 2; }

// The first `count` user-perceived characters of a text.
std::string firstCharacters(const std::string& text, std::size_t count) {
    std::string prefix;
    const auto characters = graphemeClusters(text);
    for (std::size_t i = 0; i < std::min(count, characters.size()); ++i) prefix += characters[i];
    return prefix;
}

}  // namespace

std::shared_ptr<AudProps> RuleLabelInName::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    const auto offScreen = view.get(viewkey::elementOffScreen);
    if (offScreen && offScreen->offScreenAmount >= 1.0F) return props;
    if (view.isElementOrChildOfElementType(AudElementType::datePicker) || !view.isAccessibilityFocusable || !view.name)
        return props;
    if (std::find(skippedClasses.begin(), skippedClasses.end(), view.className) != skippedClasses.end()) return props;
    if (!isOrContainsControl(view)) return props;
    auto label = view.associatedTextForControl();
    if (!label) label = view.visibleLabelInChildElement();
    if (!label && !view.detectedText) return props;

    props->add(isOrContainsControlKey, true);
    props->add(rulekey::isAccessibilityFocusable, view.isAccessibilityFocusable);
    props->add(rulekey::name, view.name);
    props->add(detectedTextKey, view.detectedText);
    props->add(visibleTextKey, label ? label->text() : std::nullopt);
    props->add(valueKey, view.value);
    if (offScreen) props->add(elementOffScreenKey, offScreen->offScreenAmount);
    return props;
}

std::optional<AudStatus> RuleLabelInName::judge(const AudProps& props, Placement placement) const {
    const auto name = props.get(rulekey::name);
    if (!name) return AudStatus::inapplicable;
    const auto visible = props.get(visibleTextKey);
    const auto detected = props.get(detectedTextKey);
    const auto value = comparisonForm(props.get(valueKey).value_or(""));
    const auto n = comparisonForm(*name);
    const auto t = visible ? std::optional(strippingValue(comparisonForm(*visible), value)) : std::nullopt;
    const auto d = detected ? std::optional(strippingValue(comparisonForm(*detected), value)) : std::nullopt;
    if (isShort(t) && isShort(d)) return AudStatus::inapplicable;

    const bool atFront = placement == Placement::atFront;
    if (!isShort(t) && (atFront ? n.starts_with(*t) : n.find(*t) != std::string::npos)) return AudStatus::pass;
    // The text recognised on the screen may differ from the label's own text
    // by recognition errors; every word it shows must still be in the name.
    if (!isShort(d)) {
        const bool matches = atFront ? detectedTextMatches(*d, firstCharacters(n, graphemeCount(*d)), WordShare::all)
                                     : detectedTextMatches(*detected, *name, WordShare::all);
        if (matches) return AudStatus::pass;
    }
    if (props.get(elementOffScreenKey).value_or(0) > 0.001F) throw RuleHelperError::offScreen();
    return std::nullopt;
}

AudStatus RuleLabelInName::runRule(const AudProps& props) {
    if (const auto status = judge(props, Placement::anywhere)) return *status;
    throw RuleFailure(nameDoesntContainLabelMessage);
}

}  // namespace audkit
