#include "audkit/facade/aud.hpp"

#include <map>
#include <unordered_set>

#include "audkit/base/base64.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/rules/rule_keys.hpp"
#include "audkit/rules/rule_outcome.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/vision/screen_reading.hpp"
#include "audkit/vision/text_areas.hpp"
#include "audkit/vision/vision_helper.hpp"

namespace audkit {
namespace {

using T = AudElementType;

constexpr const char* noScreenshotReason = "no screenshot was captured";

// Whether a view collects the found texts inside its bounds.
bool attachesTextByBounds(const AudView& view) {
    switch (view.elementType) {
        case T::key:
        case T::pageIndicator:
        case T::link:
        case T::searchField: return false;
        case T::image: return true;
        default: return view.get(viewkey::isActiveControl).value_or(false);
    }
}

}  // namespace

Aud::Aud(std::shared_ptr<AudConf> configuration, TextRecognizer* recognizer)
    : configuration_(std::move(configuration)), recognizer_(recognizer) {}

std::vector<FoundText> Aud::recognizeText(const AudContext& context) const {
    if (recognizer_ == nullptr) return {};
    auto image = context.screenshot.decoded;
    if (!image) {
        const auto bytes = base64Decode(context.screenshot.base64png);
        if (!bytes || !context.screenshot.codec) return {};
        try {
            image = std::make_shared<const RgbaImage>(context.screenshot.codec->decode(*bytes));
        } catch (const Error&) {
            return {};  // an undecodable screenshot: the scan goes on without text
        }
    }
    return readScreen(context.audView.get(), std::move(image), context.audDevice.scale, *recognizer_);
}

std::set<std::string> Aud::ignoredFor(const AudView* view) const {
    std::set<std::string> ignored;
    if (!view) return ignored;
    const auto& ignoredRules = configuration_->ignoredRules;
    if (const auto found = ignoredRules.find(view->className); found != ignoredRules.end())
        ignored.insert(found->second.begin(), found->second.end());
    if (view->accessibilityIdentifier) {
        if (const auto found = ignoredRules.find(*view->accessibilityIdentifier); found != ignoredRules.end())
            ignored.insert(found->second.begin(), found->second.end());
    }
    for (const auto& ignore : configuration_->ignoredRulesForViews)
        if (ignore.matches(*view)) ignored.insert(ignore.rules.begin(), ignore.rules.end());
    return ignored;
}

void Aud::record(AudRule& rule, const std::shared_ptr<AudView>& view, const std::set<std::string>& ignored,
                 std::shared_ptr<AudProps> props, Results& results, PostRunRule* postRun) {
    if (!props) props = std::make_shared<AudProps>();
    props->add(rulekey::className, view ? std::optional(view->className) : std::nullopt);
    if (!ignored.empty())
        props->add(rulekey::ignoredRulesList, std::vector<std::string>(ignored.begin(), ignored.end()));
    // An ignore shows where the rule would have judged the view, and nowhere
    // else: a rule about images is not "ignored" on every button.
    const bool ignoredHere = view && ignored.contains(rule.id());
    auto ignoredResult = [&] {
        results.push_back(std::make_shared<AudRuleResult>(AudStatus::ignored, std::nullopt, rule, *view, props));
    };
    if (postRun) {
        auto ready = postRun->readyResults(*props);
        if (!ready.empty()) {
            if (ignoredHere)
                ignoredResult();
            else
                results.insert(results.end(), std::make_move_iterator(ready.begin()),
                               std::make_move_iterator(ready.end()));
            return;
        }
    }
    if (!view) return;
    const auto outcome = decideOutcome(rule, *props);
    if (outcome.status == AudStatus::inapplicable) return;
    // A failure resting on what an imported dump does not record would be a
    // guess of the importer: the verdict is not given, only counted.
    if (outcome.status == AudStatus::fail) {
        if (const auto fact = inferredFactBehind(rule, *view)) {
            ++withheld_;
            ZKLog::debug(rule.id() + " gives no verdict on " + view->description() + ": it would rest on " + *fact +
                         ", which the dump does not record.");
            return;
        }
    }
    if (ignoredHere) return ignoredResult();
    results.push_back(std::make_shared<AudRuleResult>(outcome.status, outcome.summary, rule, *view, props));
}

Aud::Results Aud::runViewRules(const std::vector<std::shared_ptr<AudRule>>& rules,
                               const std::shared_ptr<AudView>& view) {
    Results results;
    const auto ignored = ignoredFor(view.get());
    for (const auto& rule : rules) record(*rule, view, ignored, rule->collectProps(*view), results);
    return results;
}

Aud::Results Aud::runVisionRules(const std::vector<std::shared_ptr<VisionRule>>& rules,
                                 const std::shared_ptr<AudView>& view, const std::vector<FoundText>& foundTexts,
                                 const Views& overlapping) {
    Results results;
    const auto ignored = ignoredFor(view.get());
    for (const auto& rule : rules)
        record(*rule, view, ignored, rule->collectVisionProps(*view, foundTexts, overlapping), results);
    return results;
}

Aud::Results Aud::runPostRunRules(const std::vector<std::shared_ptr<PostRunRule>>& rules,
                                  const std::shared_ptr<AudView>& view, const Views& gathered) {
    Results results;
    const auto ignored = ignoredFor(view.get());
    for (const auto& rule : rules)
        record(*rule, view, ignored, rule->collectPostRunProps(view, gathered), results, rule.get());
    return results;
}

std::shared_ptr<AudResult> Aud::run(const std::shared_ptr<AudContext>& context) {
    const auto foundTexts = recognizeText(*context);
    const auto rules = configuration_->rulesToRun();
    std::map<std::string, std::string> notRun;
    std::vector<std::shared_ptr<AudRule>> ordinary;
    std::vector<std::shared_ptr<VisionRule>> vision;
    std::vector<std::shared_ptr<ScreenTextRule>> onScreenText;
    std::vector<std::shared_ptr<PostRunRule>> perControl, onTexts;
    for (const auto& rule : rules) {
        const bool readsText =
            std::dynamic_pointer_cast<VisionRule>(rule) || std::dynamic_pointer_cast<ScreenTextRule>(rule);
        // Judging text that was never looked for would only invent verdicts.
        if (readsText && !context->hasScreenshot()) {
            notRun.emplace(rule->id(), noScreenshotReason);
        } else if (auto visionRule = std::dynamic_pointer_cast<VisionRule>(rule)) {
            vision.push_back(std::move(visionRule));
        } else if (auto screenRule = std::dynamic_pointer_cast<ScreenTextRule>(rule)) {
            onScreenText.push_back(std::move(screenRule));
        } else if (auto postRun = std::dynamic_pointer_cast<PostRunRule>(rule)) {
            const bool eachControl = postRun->gathered() == PostRunRule::Gathered::activeControls;
            (eachControl ? perControl : onTexts).push_back(std::move(postRun));
        } else {
            ordinary.push_back(rule);
        }
    }
    for (const auto& rule : rules) rule->setUp(*context);

    Results results;
    VisionMap visionMap;
    const FoundTextsByRow foundTextRows(foundTexts);
    std::unordered_set<const AudView*> mappedViews;
    Views spacingViews, textViews;
    auto append = [&](Results more) {
        results.insert(results.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    };

    withheld_ = 0;
    const auto repeated = repeatedViews(*context->audView);
    context->audView->runOnSelfAndDescendants([&](AudView& node) {
        if (!isExamined(node)) return RunStatus::proceed;
        if (repeated.contains(&node)) return RunStatus::skipChildren;
        // The system's own controls are not the application's to change.
        if (!configuration_->judgesSystemElements && node.get(viewkey::systemElement)) return RunStatus::proceed;
        const auto view = node.shared_from_this();
        const auto ownText = textToMatch(node);
        if (ownText && mappedViews.insert(&node).second) {
            auto selection = VisionHelper::selectFoundTexts(*ownText, node.boundsInScreen, foundTextRows);
            node.detectedText = VisionHelper::orderedText(ownText, selection);
            visionMap.emplace_back(view, std::move(selection));
        } else if (!ownText && attachesTextByBounds(node)) {
            auto selection = VisionHelper::foundTextsInside(node.boundsInScreen, foundTextRows);
            node.detectedText = VisionHelper::orderedText(std::nullopt, selection);
            visionMap.emplace_back(view, std::move(selection));
        }

        append(runViewRules(ordinary, view));

        if (node.get(viewkey::isActiveControl).value_or(false) && !node.isChildOfProp(viewkey::isActiveControl))
            spacingViews.push_back(view);
        if (node.elementType == T::staticText && node.name && node.isStaticTextOutsideBarControl())
            textViews.push_back(view);
        return RunStatus::proceed;
    });

    if (!vision.empty()) {
        const TextAreas textAreas(visionMap);
        for (std::size_t entry = 0; entry < visionMap.size(); ++entry) {
            const auto& [view, texts] = visionMap[entry];
            append(runVisionRules(vision, view, texts, textAreas.overlapping(entry)));
        }
    }
    if (!perControl.empty()) {
        for (const auto& view : spacingViews) append(runPostRunRules(perControl, view, spacingViews));
    }
    append(runPostRunRules(onTexts, nullptr, textViews));
    for (const auto& rule : onScreenText)
        for (auto& [view, props] : rule->collectScreenProps(*context->audView, foundTexts))
            record(*rule, view, ignoredFor(view.get()), std::move(props), results);

    for (const auto& rule : rules) rule->tearDown();
    auto result = std::make_shared<AudResult>(std::nullopt, configuration_, context, std::move(results));
    for (const auto& [id, reason] : notRun) ZKLog::debug(id + " was not run: " + reason + ".");
    result->rulesNotRun = std::move(notRun);
    const auto counts =
        countExamined(*context->audView, context->audDevice.screenSize(), configuration_->judgesSystemElements);
    result->viewsExamined = counts.views;
    result->elementsExamined = counts.elements;
    result->systemElementsNotJudged = counts.systemNotJudged;
    result->viewsOffScreen = counts.offScreen;
    result->verdictsOnInferredFacts = withheld_;
    return result;
}

}  // namespace audkit
