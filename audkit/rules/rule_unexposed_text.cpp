#include "audkit/rules/rule_unexposed_text.hpp"

#include <algorithm>
#include <map>

#include "audkit/base/bounds_geometry.hpp"
#include "audkit/base/text_helpers.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/vision/found_text.hpp"
#include "audkit/vision/screen_reading.hpp"
#include "audkit/vision/text_matching.hpp"

namespace audkit {
namespace {

using T = AudElementType;

double area(const AudBounds& box) { return std::max<double>(0, box.width()) * std::max<double>(0, box.height()); }

double overlap(const AudBounds& a, const AudBounds& b) {
    const auto both = boundsIntersection(a, b);
    return both ? area(*both) : 0.0;
}

// A view that answers for what is drawn inside it: an accessibility element
// (the name rules judge its name), a control, a labelled picture (its label
// stands for it), a map, and the keyboard, the status bar and the system's
// own elements, which are not the application's. A picture without a label
// exposes nothing of its text, whether or not it is an element.
bool ownsWhatItDraws(const AudView& view) {
    if (view.get(viewkey::isActiveControl).value_or(false) || view.get(viewkey::systemElement)) return true;
    if (view.elementType == T::image) return !isBlank(view.name);
    if (view.isAccessibilityElement()) return true;
    switch (view.elementType) {
        case T::map:
        case T::keyboard:
        case T::key:
        case T::statusBar: return true;
        default: return false;
    }
}

std::vector<std::string> textsOf(const AudView& view) {
    std::vector<std::string> texts;
    for (const auto& text : {view.name, view.value, view.text()})
        if (!isBlank(text)) texts.push_back(*text);
    return texts;
}

// One examined view as the rule sees it.
struct Place {
    AudView* view;
    bool owns;
    std::vector<std::string> texts;
};

struct Line {
    std::string text;
    AudBounds box;
    std::size_t row = 0;
};

// Rows from the top, each left to right: a line whose middle lies above the
// bottom of the row's first line belongs to that row.
void inReadingOrder(std::vector<Line>& lines) {
    std::sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) { return a.box.top() < b.box.top(); });
    float rowBottom = 0;
    std::size_t row = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i == 0 || (lines[i].box.top() + lines[i].box.bottom()) / 2 > rowBottom) {
            row = i;
            rowBottom = lines[i].box.bottom();
        }
        lines[i].row = row;
    }
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return a.row != b.row ? a.row < b.row : a.box.left() < b.box.left();
    });
}

}  // namespace

void RuleUnexposedText::setUp(const AudContext& context) { screen_ = ScanScreen::of(context); }

bool RuleUnexposedText::isText(const FoundText& line) {
    return line.confidence >= leastConfidence &&
           lettersAndDigits(line.text) >= (containsCjk(line.text) ? leastCjkLettersAndDigits : leastLettersAndDigits);
}

bool RuleUnexposedText::inSystemArea(const AudBounds& box) const {
    const double perPoint = screen_.pixelsPerPoint();
    const double height = screen_.bounds.height() / perPoint;
    if (height <= 0) return false;
    const bool notched = height >= notchedPhoneLeastHeight && screen_.bounds.width() / perPoint < phoneMostWidth;
    const double middle = (box.top() + box.bottom()) / 2 / perPoint;
    return middle < (notched ? notchedStatusBarPoints : statusBarPoints) ||
           (notched && middle > height - homeIndicatorPoints);
}

ScreenTextRule::Judged RuleUnexposedText::collectScreenProps(AudView& root, const std::vector<FoundText>& foundTexts) {
    std::vector<Place> places;
    root.runOnSelfAndDescendants([&](AudView& node) {
        if (isExamined(node)) places.push_back({&node, ownsWhatItDraws(node), textsOf(node)});
        return RunStatus::proceed;
    });
    // The texts of each holder's subtree in comparison form, made when first asked.
    std::map<const AudView*, std::vector<std::string>> subtreeTexts;
    auto heldBelow = [&](const AudView& holder, const std::string& line) {
        const auto entry = subtreeTexts.try_emplace(&holder);
        auto& texts = entry.first->second;
        if (entry.second)
            visitPreOrder(holder, [&texts](const AudView& node) {
                for (const auto& text : textsOf(node)) texts.push_back(comparisonForm(text));
                return RunStatus::proceed;
            });
        return std::any_of(texts.begin(), texts.end(),
                           [&](const std::string& text) { return text.find(line) != std::string::npos; });
    };

    bool judgedText = false;
    std::map<AudView*, std::vector<Line>> unexposed;
    for (const auto& found : foundTexts) {
        const auto& box = found.rect;
        const double size = area(box);
        if (size <= 0 || !isText(found) || inSystemArea(box)) continue;
        judgedText = true;
        double owned = 0;
        AudView* holder = &root;
        double holderSize = 0;
        bool carried = false;
        for (const auto& place : places) {
            const auto& frame = place.view->boundsInScreen;
            const double shared = overlap(box, frame);
            if (shared <= 0) continue;
            if (place.owns) owned += shared;
            carried = carried || std::any_of(place.texts.begin(), place.texts.end(), [&](const std::string& text) {
                          return detectedTextMatches(found.text, text);
                      });
            // The smallest view that holds the line; of views alike in size, the innermost.
            if (!place.owns && shared >= heldShare * size && (holderSize == 0 || area(frame) <= holderSize)) {
                holder = place.view;
                holderSize = area(frame);
            }
        }
        if (carried || owned >= ownedShare * size) continue;
        const auto compared = comparisonForm(found.text);
        if (!compared.empty() && heldBelow(*holder, compared)) continue;
        unexposed[holder].push_back({found.text, box});
    }

    Judged judged;
    if (!judgedText) return judged;
    if (unexposed.empty()) {
        auto props = std::make_shared<AudProps>();
        props->add(textsKey, std::vector<std::string>{});
        judged.emplace_back(root.shared_from_this(), std::move(props));
        return judged;
    }
    // In the tree's order, not the views' addresses: the findings are numbered
    // the same on every run.
    std::vector<std::pair<AudView*, std::vector<Line>*>> inTreeOrder;
    root.runOnSelfAndDescendants([&](AudView& node) {
        if (const auto found = unexposed.find(&node); found != unexposed.end())
            inTreeOrder.emplace_back(&node, &found->second);
        return RunStatus::proceed;
    });
    for (auto& [holder, held] : inTreeOrder) {
        auto& lines = *held;
        inReadingOrder(lines);
        std::vector<std::string> texts;
        AudBounds frame;
        for (const auto& line : lines) {
            texts.push_back(line.text);
            frame = boundsUnionIgnoringEmpties(frame, line.box);
        }
        auto props = std::make_shared<AudProps>();
        props->add(textsKey, std::move(texts));
        props->add(textFrameKey, frame);
        judged.emplace_back(holder->shared_from_this(), std::move(props));
    }
    return judged;
}

std::string RuleUnexposedText::failureMessage(const std::vector<std::string>& texts) {
    constexpr std::size_t shown = 8;
    std::string message = "Text on the screen that no accessibility element exposes:";
    for (std::size_t i = 0; i < texts.size() && i < shown; ++i)
        message += std::string(i == 0 ? " \"" : ", \"") + texts[i] + "\"";
    if (texts.size() > shown) message += " and " + std::to_string(texts.size() - shown) + " more";
    return message +
           ". Assistive technology cannot reach it: expose each text through an accessibility element whose label "
           "holds it.";
}

AudStatus RuleUnexposedText::runRule(const AudProps& props) {
    const auto texts = props.get(textsKey);
    if (!texts) return AudStatus::inapplicable;
    if (texts->empty()) return AudStatus::pass;
    throw RuleFailure(failureMessage(*texts));
}

}  // namespace audkit
