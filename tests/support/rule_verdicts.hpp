#pragma once

#include <algorithm>
#include <ostream>
#include <set>
#include <string>
#include <string_view>

#include <map>
#include <memory>

#include "audkit/facade/aud.hpp"
#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_catalogue.hpp"
#include "audkit/rules/rule_keys.hpp"
#include "audkit/rules/rule_outcome.hpp"
#include "audkit/tree/aud_context.hpp"
#include "audkit/tree/text_recognizer.hpp"
#include "tests/support/screen_builder.hpp"

namespace audkit::test {

// A rule's status for one view with the summary the result would show.
struct Verdict {
    AudStatus status;
    std::string summary;
    bool operator==(const Verdict&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Verdict& verdict) {
    return out << toString(verdict.status) << " " << verdict.summary;
}

// A context for rules that read the scan's screen: a phone screen of
// 390 x 844 points at the given scale.
inline std::shared_ptr<AudContext> contextFor(std::shared_ptr<AudView> root, float scale = 3, bool fullScreen = true,
                                              std::string title = noScreenTitle) {
    AudDevice device{"iPhone 15", "iOS", "17.2", 844 * scale, 390 * scale, scale};
    AudMetaData metaData;
    metaData.screenTitle = std::move(title);
    metaData.isFullScreenForML = fullScreen;
    return std::make_shared<AudContext>(std::move(root), device, AudImage{}, metaData);
}

// What the runner records for the view with this class name: a fresh rule
// (set up with the context, when given) collects its props and decides
// through the runner's outcome mapping.
inline Verdict judge(AudRuleId id, const AudView& root, const std::string& className,
                     const AudContext* context = nullptr) {
    auto rule = makeRule(id);
    if (context) rule->setUp(*context);
    const auto props = rule->collectProps(findView(root, className));
    const auto outcome = decideOutcome(*rule, *props);
    return {outcome.status, outcome.summary.value_or(rule->summary())};
}

// A screen with one button named `name` showing `shown` in a label inside
// it (class names "Button" and "ShownText"), for the rules that compare a
// control's name with what it shows.
inline ScreenBuilder buttonShowing(const std::string& name, const std::string& shown) {
    ScreenBuilder screen;
    screen.add("app", AudElementType::application, "UIApplication", {"button"}).frame(0, 0, 390, 844);
    screen.add("button", AudElementType::button, "Button", {"text"})
        .label(name)
        .traits(AudTraits::button)
        .frame(16, 100, 300, 50);
    screen.add("text", AudElementType::staticText, "ShownText").label(shown).focusable(false).frame(20, 110, 200, 20);
    return screen;
}

// A line of text on the screenshot, its box in points of the 390 x 844
// point screen of contextFor.
struct ShownLine {
    std::string text;
    double x, y, width, height;
    float confidence = 1;
};

// Answers every recognition with the given lines.
class ShownLines : public TextRecognizer {
public:
    explicit ShownLines(std::vector<ShownLine> lines) : lines_(std::move(lines)) {}
    std::vector<TextObservation> recognize(const RgbaImage&) override {
        std::vector<TextObservation> observations;
        for (const auto& line : lines_)
            observations.push_back({line.text, line.x / 390, 1 - (line.y + line.height) / 844, line.width / 390,
                                    line.height / 844, line.confidence});
        return observations;
    }

private:
    std::vector<ShownLine> lines_;
};

// The results of one rule over a whole scan of the screen (the runner with
// every other rule ignored), by the class name of the view. The screenshot is
// a white page on which recognition finds the lines.
inline std::map<std::string, std::shared_ptr<AudRuleResult>> resultsByClass(const ScreenBuilder& screen, AudRuleId only,
                                                                            std::vector<ShownLine> lines = {}) {
    auto conf = std::make_shared<AudConf>();
    for (const auto id : allCases<AudRuleId>())
        if (id != only) conf->ignore(std::string(toString(id)), true);
    auto context = contextFor(screen.build());
    ShownLines recognizer(std::move(lines));
    auto page = std::make_shared<RgbaImage>();
    page->width = static_cast<std::uint32_t>(context->audDevice.screenWidth);
    page->height = static_cast<std::uint32_t>(context->audDevice.screenHeight);
    page->pixels.assign(std::size_t{page->width} * page->height * 4, 255);
    context->screenshot.decoded = std::move(page);
    const auto result = Aud(conf, &recognizer).run(context);
    std::map<std::string, std::shared_ptr<AudRuleResult>> byClass;
    for (const auto& ruleResult : result->audRuleResults)
        byClass[ruleResult->props->get(rulekey::className).value_or("")] = ruleResult;
    return byClass;
}

// The keys of a bag, to compare with the keys a rule declares.
inline std::set<std::string> keysOf(const AudProps& props) {
    std::set<std::string> keys;
    for (const auto& entry : props.entries()) keys.insert(entry.first);
    return keys;
}

template <class Keys>
std::set<std::string> declared(const Keys& keys) {
    std::set<std::string> names;
    for (const std::string_view key : keys) names.emplace(key);
    return names;
}

}  // namespace audkit::test
