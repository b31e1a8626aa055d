#include "tools/audkit/report/findings.hpp"

#include <cmath>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "audkit/rules/rule_color_contrast.hpp"
#include "tools/audkit/import/dump_import.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::cli {

std::string Finding::element() const {
    if (!view) return "a view that is not in the tree";
    std::string text = view->className;
    if (view->name) text += " \"" + *view->name + "\"";
    if (view->accessibilityIdentifier) text += " (id " + *view->accessibilityIdentifier + ")";
    // An imported element is found again in the dump a team has.
    if (const auto source = view->get(viewkey::source)) text += ", " + *source + " of the dump";
    return text;
}

std::string Finding::treePath() const {
    if (!view) return {};
    std::vector<std::string> steps;
    for (const AudView* node = view.get(); node != nullptr; node = node->parent) {
        std::size_t position = 0;
        if (node->parent)
            for (const auto& sibling : node->parent->children) {
                if (sibling.get() == node) break;
                position += sibling->className == node->className ? 1 : 0;
            }
        steps.push_back(node->className + "[" + std::to_string(position) + "]");
    }
    std::string path;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) path += (path.empty() ? "" : "/") + *step;
    return path;
}

Finding::Frame Finding::frameInPoints(float scale) const {
    if (!view || !(scale > 0)) return {};
    // Hundredths of a point: the pixel bounds are 32-bit floats.
    const auto points = [scale](float pixels) { return std::round(static_cast<double>(pixels) / scale * 100) / 100; };
    const auto& bounds = view->boundsInScreen;
    return {points(bounds.left()), points(bounds.top()), points(bounds.width()), points(bounds.height())};
}

std::string Finding::message(float scale) const {
    const auto frame = frameInPoints(scale);
    std::string text = element() + " at " + cli::number(frame.x) + ", " + cli::number(frame.y) + ", " +
                       cli::number(frame.width) + " x " + cli::number(frame.height) + " pt: " + result->ruleSummary;
    if (result->props)
        if (const auto* pair = result->props->get(RuleColorContrast::decidingPairKey.name))
            text += " Colours: " + describePropValue(*pair) + ".";
    return text;
}

std::string Finding::capturePath(const std::string& screen) {
    const std::filesystem::path path(screen);
    if (isDumpFile(path) || path.filename() == "capture.json") return screen;
    return (path / "capture.json").string();
}

std::optional<int> Finding::dumpLine(const std::string& screen) const {
    if (!view || !isDumpFile(screen)) return std::nullopt;
    const auto source = view->get(viewkey::source);
    if (!source || !source->starts_with("line ")) return std::nullopt;
    try {
        const int line = std::stoi(source->substr(5));
        return line > 0 ? std::optional(line) : std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;  // a capture may say anything there
    }
}

std::string Finding::fingerprint(const std::string& screen) const {
    std::string element = "a view that is not in the tree";
    if (view && view->accessibilityIdentifier)
        element = "id " + *view->accessibilityIdentifier;
    else if (view)
        element = treePath() + " \"" + view->name.value_or("") + "\"";
    return screen + "|" + result->ruleId + "|" + element;
}

std::vector<Finding> judgedViews(const AudResult& result) {
    std::unordered_map<std::string, std::shared_ptr<const AudView>> views;
    if (result.audContext && result.audContext->audView)
        result.audContext->audView->runOnSelfAndDescendants([&](const AudView& view) {
            views.emplace(view.audViewId, view.shared_from_this());
            return RunStatus::proceed;
        });
    std::vector<Finding> judged;
    std::size_t numbered = 0;
    for (const auto& ruleResult : result.audRuleResults) {
        const bool finding = ruleResult->status == AudStatus::fail || ruleResult->status == AudStatus::incomplete;
        const auto view = views.find(ruleResult->audViewId);
        judged.push_back(
            {finding ? ++numbered : 0, ruleResult, view == views.end() ? nullptr : view->second, false, {}});
    }
    return judged;
}

std::vector<Finding> findingsOf(const AudResult& result) {
    auto judged = judgedViews(result);
    std::erase_if(judged, [](const Finding& finding) { return finding.number == 0; });
    return judged;
}

std::vector<FindingBox> findingBoxes(const std::vector<Finding>& findings) {
    std::vector<FindingBox> boxes;
    std::unordered_map<const AudView*, std::size_t> boxOf;
    for (const auto& finding : findings) {
        if (!finding.view) continue;
        const auto [at, added] = boxOf.try_emplace(finding.view.get(), boxes.size());
        if (added) boxes.push_back({finding.view.get(), ""});
        auto& box = boxes[at->second];
        box.numbers += (box.numbers.empty() ? "" : ",") + std::to_string(finding.number);
        if (finding.result->status == AudStatus::fail) box.worst = AudStatus::fail;
    }
    return boxes;
}

Coverage coverageOf(const AudResult& result) {
    Coverage coverage;
    coverage.viewsExamined = result.viewsExamined;
    coverage.elementsExamined = result.elementsExamined;
    coverage.languages = result.recognitionLanguages;
    coverage.systemElementsNotJudged = result.systemElementsNotJudged;
    coverage.verdictsOnInferredFacts = result.verdictsOnInferredFacts;
    if (result.audConf) {
        for (const auto& [id, conf] : result.audConf->rules) {
            if (!conf->ignored) continue;
            const bool optIn = id == "SupportsDynamicType" && !result.audConf->optInToSupportsDynamicType();
            coverage.rulesNotRun.emplace_back(
                id, optIn ? "not asked for: --dynamic-type runs it with the bundle's Settings script" : "switched off");
        }
    }
    for (const auto& [id, why] : result.rulesNotRun) coverage.rulesNotRun.emplace_back(id, why);
    return coverage;
}

std::optional<std::string> fewElementsNote(const Coverage& coverage) {
    // One in ten or fewer: a screen of containers around a drawn surface.
    constexpr std::size_t viewsPerElement = 10;
    if (coverage.viewsExamined == 0 || coverage.elementsExamined * viewsPerElement > coverage.viewsExamined)
        return std::nullopt;
    if (coverage.elementsExamined == 0) return "none of them an accessibility element";
    return "only " + std::to_string(coverage.elementsExamined) + " of them " +
           (coverage.elementsExamined == 1 ? "an accessibility element" : "accessibility elements");
}

}  // namespace audkit::cli
