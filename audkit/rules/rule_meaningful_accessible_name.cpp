#include "audkit/rules/rule_meaningful_accessible_name.hpp"

#include <array>

#include "audkit/rules/aud_rule_id.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/tree/text_helpers.hpp"

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

RuleMeaningfulAccessibleName::RuleMeaningfulAccessibleName(std::shared_ptr<RuleConf> config)
    : AudRule(std::string(toString(AudRuleId::meaningfulAccessibleName)), std::move(config)) {}

std::shared_ptr<AudProps> RuleMeaningfulAccessibleName::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    const auto traits = view.get<AudTraits>("accessibilityTraits");
    props->add("accessibilityTraits", traits ? std::optional<PropValue>(*traits) : std::nullopt);
    props->add("name", view.name);
    props->add("elementType", std::string(toString(view.elementType)));
    props->add("isAccessibilityFocusable", view.isAccessibilityFocusable);
    return props;
}

AudStatus RuleMeaningfulAccessibleName::runRule(const AudProps& props) {
    const auto traits = props.getOrError<AudTraits>("accessibilityTraits");
    const auto elementType = props.getOrError<std::string>("elementType");
    const auto name = props.get<std::string>("name");
    const bool focusable = props.getOrError<bool>("isAccessibilityFocusable");
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
