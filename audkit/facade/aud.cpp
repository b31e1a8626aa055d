#include "audkit/facade/aud.hpp"

#include <algorithm>

#include "audkit/facade/zk_log.hpp"
#include "audkit/platform/jpeg_codec.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/tree/base64.hpp"
#include "audkit/vision/vision_helper.hpp"

namespace audkit {
namespace {

using T = AudElementType;

bool isVision(const AudRule& rule) { return dynamic_cast<const VisionRule*>(&rule) != nullptr; }
bool isPostRun(const AudRule& rule) { return dynamic_cast<const PostRunRule*>(&rule) != nullptr; }

// Whether a view collects the found texts inside its bounds.
bool attachesTextByBounds(const AudView& view) {
    switch (view.elementType) {
        case T::key: case T::pageIndicator: case T::link: case T::searchField: return false;
        case T::image: return true;
        default: return view.get<bool>("isActiveControl").value_or(false);
    }
}

}  // namespace

Aud::Aud(std::shared_ptr<AudConf> configuration, TextRecognizer* recognizer)
    : configuration_(std::move(configuration)), recognizer_(recognizer) {}

std::vector<FoundText> Aud::recognizeText(const AudContext& context) const {
    if (recognizer_ == nullptr) return {};
    std::optional<RgbaImage> image;
    if (context.screenshot.decoded) {
        image = *context.screenshot.decoded;
    } else {
        const auto bytes = base64Decode(context.screenshot.base64png);
        if (!bytes) return {};
        try {
            image = decodeImage(*bytes);
        } catch (const Error&) {
            return {};  // an undecodable screenshot: the scan goes on without text
        }
    }
    TextDetectionHelper helper(std::move(image), context.audDevice.scale);
    try {
        helper.detectText(*recognizer_);
    } catch (const ErrorMessages& error) {
        ZKLog::log(error);
    } catch (const std::exception& error) {
        ZKLog::always(std::string("ZUNIK ERROR: ") + error.what());
    }
    return std::move(helper.foundText);
}

std::vector<std::shared_ptr<AudRuleResult>> Aud::runRules(
    const std::vector<std::shared_ptr<AudRule>>& rules, const std::map<std::string, std::set<std::string>>& ignoredRules,
    const std::shared_ptr<AudView>& view, const std::vector<FoundText>* foundTexts,
    const std::vector<std::shared_ptr<AudView>>* extra) const {
    std::vector<std::shared_ptr<AudRuleResult>> results;
    for (const auto& rule : rules) {
        std::shared_ptr<AudProps> props;
        if (auto* vision = dynamic_cast<VisionRule*>(rule.get()); vision && foundTexts) {
            if (!view) return results;
            static const std::vector<std::shared_ptr<AudView>> none;
            props = vision->collectVisionProps(*view, *foundTexts, extra ? *extra : none);
        } else if (auto* postRun = dynamic_cast<PostRunRule*>(rule.get()); postRun && extra) {
            props = postRun->collectPostRunProps(view, *extra);
        } else {
            if (!view) return results;
            props = rule->collectProps(*view);
        }
        if (!props) props = std::make_shared<AudProps>();
        props->add("className", view ? std::optional<PropValue>(view->className) : std::nullopt);

        std::set<std::string> ignored;
        if (view) {
            if (const auto found = ignoredRules.find(view->className); found != ignoredRules.end())
                ignored.insert(found->second.begin(), found->second.end());
            if (view->accessibilityIdentifier) {
                if (const auto found = ignoredRules.find(*view->accessibilityIdentifier); found != ignoredRules.end())
                    ignored.insert(found->second.begin(), found->second.end());
            }
        }
        if (!ignored.empty()) {
            props->add("ignoredRulesList", std::vector<std::string>(ignored.begin(), ignored.end()));
            if (ignored.contains(rule->id())) {
                results.push_back(std::make_shared<AudRuleResult>(AudStatus::ignored, std::nullopt, *rule, *view, props));
                continue;
            }
        }
        if (!view) continue;

        AudStatus status;
        std::optional<std::string> summary;
        try {
            status = rule->runRule(*props);
            if (status == AudStatus::pass) summary = rule->passingDescription();
        } catch (const std::exception& error) {
            if (dynamic_cast<const ResultDescription*>(&error) != nullptr) {
                status = AudStatus::fail;
            } else {
                status = AudStatus::incomplete;
            }
            const auto* messages = dynamic_cast<const ErrorMessages*>(&error);
            summary = messages && messages->message() ? *messages->message() : std::string(error.what());
        } catch (...) {
            status = AudStatus::incomplete;
            summary = "Unknown error.";
        }
        if (status == AudStatus::inapplicable) continue;
        results.push_back(std::make_shared<AudRuleResult>(status, summary, *rule, *view, props));
    }
    return results;
}

std::shared_ptr<AudResult> Aud::run(const std::shared_ptr<AudContext>& context) {
    const auto foundTexts = recognizeText(*context);
    const auto rules = configuration_->rulesToRun();
    std::vector<std::shared_ptr<AudRule>> ordinary, vision, spacing, otherPostRun;
    for (const auto& rule : rules) {
        if (isVision(*rule)) vision.push_back(rule);
        else if (isPostRun(*rule)) (rule->id() == "TouchTargetSpacing" ? spacing : otherPostRun).push_back(rule);
        else ordinary.push_back(rule);
    }
    const auto& ignoredRules = configuration_->ignoredRules;
    for (const auto& rule : rules) rule->setUp(*context);

    std::vector<std::shared_ptr<AudRuleResult>> results;
    VisionMap visionMap;
    std::vector<std::shared_ptr<AudView>> spacingViews, textViews;
    auto append = [&](std::vector<std::shared_ptr<AudRuleResult>> more) {
        results.insert(results.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    };

    context->audView->runOnSelfAndDescendants([&](AudView& node) {
        if (node.elementType == T::picker || node.elementType == T::pickerWheel || !node.isVisibleToUser)
            return RunStatus::proceed;
        const auto view = node.shared_from_this();
        auto ownText = node.text();
        if (!ownText && (node.isChildOfElementType(T::segmentedControl) || node.isChildOfElementType(T::tabBar) ||
                         node.isChildOfElementType(T::toolbar)))
            ownText = node.get<std::string>("label");
        const bool mapped = std::any_of(visionMap.begin(), visionMap.end(),
                                        [&](const auto& entry) { return entry.first.get() == &node; });
        if (ownText && !mapped) {
            auto selection = VisionHelper::selectFoundTexts(*ownText, node.boundsInScreen, foundTexts);
            node.detectedText = VisionHelper::orderedText(ownText, selection);
            visionMap.emplace_back(view, std::move(selection));
        } else if (!ownText && attachesTextByBounds(node)) {
            auto selection = VisionHelper::foundTextsInside(node.boundsInScreen, foundTexts);
            node.detectedText = VisionHelper::orderedText(std::nullopt, selection);
            visionMap.emplace_back(view, std::move(selection));
        }

        append(runRules(ordinary, ignoredRules, view, nullptr, nullptr));

        if (node.get<bool>("isActiveControl").value_or(false) && !node.isChildOfProp("isActiveControl"))
            spacingViews.push_back(view);
        if (node.elementType == T::staticText && node.name && node.isStaticTextOutsideBarControl())
            textViews.push_back(view);
        return RunStatus::proceed;
    });

    for (const auto& [view, texts] : visionMap) {
        const auto overlapping = VisionHelper::overlappingViews(*view, visionMap);
        append(runRules(vision, ignoredRules, view, &texts, &overlapping));
    }
    for (const auto& view : spacingViews) append(runRules(spacing, ignoredRules, view, nullptr, &spacingViews));
    append(runRules(otherPostRun, ignoredRules, nullptr, nullptr, &textViews));

    for (const auto& rule : rules) rule->tearDown();
    return std::make_shared<AudResult>(std::nullopt, configuration_, context, std::move(results));
}

}  // namespace audkit
