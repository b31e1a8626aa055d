#include "audkit/rules/rule_supports_dynamic_type.hpp"

#include <algorithm>

#include "audkit/rules/aud_rule_result.hpp"
#include "audkit/rules/rule_keys.hpp"
#include "audkit/tree/aud_context.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {
namespace {

std::vector<std::shared_ptr<AudView>> staticTextsOf(const std::shared_ptr<AudView>& root) {
    std::vector<std::shared_ptr<AudView>> texts;
    if (!root) return texts;
    root->runOnSelfAndDescendants([&](AudView& view) {
        if (view.elementType == AudElementType::staticText) texts.push_back(view.shared_from_this());
        return RunStatus::proceed;
    });
    return texts;
}

}  // namespace

void RuleSupportsDynamicType::setUp(const AudContext& context) {
    PostRunRule::setUp(context);
    capture_ = context.largerText;
    root_ = context.audView;
    judged_.clear();
}

void RuleSupportsDynamicType::tearDown() {
    capture_.reset();
    root_.reset();
    judged_.clear();
}

std::shared_ptr<AudProps> RuleSupportsDynamicType::collectPostRunProps(
    const std::shared_ptr<AudView>&, const std::vector<std::shared_ptr<AudView>>& texts) {
    auto props = std::make_shared<AudProps>();
    judged_.clear();
    // The scan did not capture with larger text: nothing to compare.
    if (!capture_) return props;
    if (capture_->error) {
        props->add(errorKey, *capture_->error);
        return props;
    }
    const auto after = staticTextsOf(capture_->afterChange);
    for (const auto& text : texts) {
        // The same text after the change: the first static text of that name.
        const auto counterpart = std::find_if(after.begin(), after.end(),
                                              [&](const auto& candidate) { return candidate->name == text->name; });
        const float before = text->boundsInScreen.height();
        const float growth = counterpart == after.end() || before <= 0
                                 ? 0.0F
                                 : (*counterpart)->boundsInScreen.height() / before * 100.0F - 100.0F;
        judged_.push_back({text, growth});
        props->add(rulekey::className, text->className);
    }
    return props;
}

std::vector<std::shared_ptr<AudRuleResult>> RuleSupportsDynamicType::readyResults(const AudProps& props) {
    std::vector<std::shared_ptr<AudRuleResult>> results;
    if (const auto error = props.get(errorKey)) {
        if (root_) {
            auto bag = std::make_shared<AudProps>(props);
            bag->add(rulekey::className, root_->className);
            results.push_back(std::make_shared<AudRuleResult>(AudStatus::incomplete, *error, *this, *root_, bag));
        }
        return results;
    }
    for (const auto& [text, growth] : judged_) {
        auto bag = std::make_shared<AudProps>(props);
        bag->add(textKey, text->text().value_or(""));
        bag->add(rulekey::className, text->className);
        bag->add(heightGrowthKey, growth);
        const bool grew = growth > leastGrowthPercent;
        results.push_back(std::make_shared<AudRuleResult>(
            grew ? AudStatus::pass : AudStatus::fail, grew ? passingDescription() : std::nullopt, *this, *text, bag));
    }
    return results;
}

}  // namespace audkit
