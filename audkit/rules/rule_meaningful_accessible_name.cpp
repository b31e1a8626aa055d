#include "audkit/rules/rule_meaningful_accessible_name.hpp"

#include <array>

#include "audkit/base/text_helpers.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {
namespace {

struct TraitWords {
    AudTraits trait;
    std::string_view elementType;  // empty: the trait alone decides
    std::array<std::string_view, 2> words;
};

// Checked from top to bottom; an empty word is no word.
const std::array<TraitWords, 6> traitWords{{
    {AudTraits::textEntry, "", {"text field", "textfield"}},
    {AudTraits::switchButton, "", {"switch", "toggle"}},
    {AudTraits::adjustable, "", {"adjustable", ""}},
    {AudTraits::image, "image", {"image", ""}},
    {AudTraits::link, "link", {"link", ""}},
    {AudTraits::button, "button", {"button", ""}},
}};

// Case-insensitive containment; diacritics are folded too, which only the
// "image" row asks for but no other trait word has.
std::string folded(std::string_view text) { return lowercased(removingDiacritics(text)); }

}  // namespace

std::shared_ptr<AudProps> RuleMeaningfulAccessibleName::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    props->add(rulekey::accessibilityTraits, view.get(viewkey::accessibilityTraits));
    props->add(rulekey::name, view.name);
    props->add(rulekey::elementType, std::string(toString(view.elementType)));
    props->add(rulekey::isAccessibilityFocusable, view.isAccessibilityFocusable);
    return props;
}

AudStatus RuleMeaningfulAccessibleName::runRule(const AudProps& props) {
    const auto traits = props.getOrError(rulekey::accessibilityTraits);
    const auto elementType = props.getOrError(rulekey::elementType);
    const auto name = props.get(rulekey::name);
    const bool focusable = props.getOrError(rulekey::isAccessibilityFocusable);
    if (!name || !focusable) return AudStatus::inapplicable;
    const auto foldedName = folded(*name);
    for (const auto& row : traitWords) {
        const bool applies = traits.contains(row.trait) || (!row.elementType.empty() && elementType == row.elementType);
        if (!applies) continue;
        for (const auto word : row.words)
            if (!word.empty() && foldedName.find(word) != std::string::npos) return AudStatus::fail;
    }
    return AudStatus::pass;
}

}  // namespace audkit
