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
    bool foldsDiacriticsAndWidth;  // "ïmage" and "ＩＭＡＧＥ" count as the word too
};

// Checked from top to bottom; an empty word is no word. Words are found case
// insensitively; only the image row also ignores accents and width, so a
// button named "Bütton" or a link named "Lïnk to help" is not a trait word.
const std::array<TraitWords, 6> traitWords{{
    {AudTraits::textEntry, "", {"text field", "textfield"}, false},
    {AudTraits::switchButton, "", {"switch", "toggle"}, false},
    {AudTraits::adjustable, "", {"adjustable", ""}, false},
    {AudTraits::image, "image", {"image", ""}, true},
    {AudTraits::link, "link", {"link", ""}, false},
    {AudTraits::button, "button", {"button", ""}, false},
}};

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
    const auto plainName = lowercased(*name);
    const auto foldedName = lowercased(removingDiacriticsAndWidth(*name));
    for (const auto& row : traitWords) {
        const bool applies = traits.contains(row.trait) || (!row.elementType.empty() && elementType == row.elementType);
        if (!applies) continue;
        const auto& subject = row.foldsDiacriticsAndWidth ? foldedName : plainName;
        for (const auto word : row.words)
            if (!word.empty() && subject.find(word) != std::string::npos) return AudStatus::fail;
    }
    return AudStatus::pass;
}

}  // namespace audkit
