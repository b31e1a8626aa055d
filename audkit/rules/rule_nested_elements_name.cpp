#include "audkit/rules/rule_nested_elements_name.hpp"

#include <algorithm>

#include "audkit/base/text_helpers.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/vision/text_matching.hpp"

namespace audkit {
namespace {

std::vector<std::string> wordsOf(const std::string& text) {
    return spaceSeparatedWords(removingSymbols(lowercased(text)));
}

// The view or a view inside it is a control (visiting stops at the first).
bool holdsControl(const AudView& view) {
    return visitPreOrder(
        view, [](const AudView& node) { return node.role == AudRole::control ? RunStatus::stop : RunStatus::proceed; });
}

}  // namespace

std::shared_ptr<AudProps> RuleNestedElementsName::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    const auto isActiveControl = view.get(viewkey::isActiveControl);
    if (!isActiveControl || *isActiveControl || !view.isAccessibilityFocusable) return props;
    // The texts of a whole subtree are gathered only for the views judged:
    // for every view of a deep tree that would be quadratic.
    const auto& texts = view.textOfSelfAndDescendants();
    if (texts.empty() || holdsControl(view)) return props;
    props->add(rulekey::isAccessibilityFocusable, true);
    props->add(rulekey::isActiveControl, false);
    props->add(textsKey, texts);
    props->add(rulekey::name, view.name);
    return props;
}

AudStatus RuleNestedElementsName::runRule(const AudProps& props) {
    const auto texts = props.get(textsKey);
    if (!texts) return AudStatus::inapplicable;
    const auto name = props.get(rulekey::name);
    if (!name) return AudStatus::fail;
    std::string joined;
    for (const auto& text : *texts) joined += (joined.empty() ? "" : " ") + text;
    const auto nameWords = wordsOf(*name);
    const auto shownWords = wordsOf(joined);
    const auto covered = std::count_if(shownWords.begin(), shownWords.end(), [&](const std::string& shown) {
        return std::any_of(nameWords.begin(), nameWords.end(),
                           [&](const std::string& word) {
                               return lengthsAllowSimilarity(word, shown) && jaroWinkler(word, shown) >= wordSimilarity;
                           });
    });
    return enoughWordsCovered(static_cast<std::size_t>(covered), shownWords.size()) ? AudStatus::pass : AudStatus::fail;
}

}  // namespace audkit
