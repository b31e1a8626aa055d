#include "audkit/vision/screen_reading.hpp"

#include <algorithm>
#include <utility>

#include "audkit/base/zk_log.hpp"
#include "audkit/tree/image_crop.hpp"
#include "audkit/vision/text_matching.hpp"
#include "audkit/vision/vision_helper.hpp"

namespace audkit {
namespace {

using T = AudElementType;

bool sameNode(const AudView& a, const AudView& b) {
    return a.elementType == b.elementType && a.className == b.className && a.name == b.name && a.value == b.value &&
           a.accessibilityIdentifier == b.accessibilityIdentifier && a.boundsInScreen == b.boundsInScreen &&
           a.get(viewkey::accessibilityTraits) == b.get(viewkey::accessibilityTraits) &&
           a.children.size() == b.children.size();
}

// The same named element with the same subtree.
bool sameElement(const AudView& a, const AudView& b) {
    if (!a.name && !a.accessibilityIdentifier) return false;  // unnamed containers alike in size are not repeats
    std::vector<std::pair<const AudView*, const AudView*>> pairs{{&a, &b}};
    while (!pairs.empty()) {
        const auto [x, y] = pairs.back();
        pairs.pop_back();
        if (!sameNode(*x, *y)) return false;
        for (std::size_t i = 0; i < x->children.size(); ++i)
            pairs.emplace_back(x->children[i].get(), y->children[i].get());
    }
    return true;
}

// Whether the recogniser read the image; its error is logged.
bool recognizeInto(TextDetectionHelper& helper, TextRecognizer& recognizer) {
    try {
        helper.detectText(recognizer);
        return true;
    } catch (const ErrorMessages& error) {
        ZKLog::log(error);
    } catch (const std::exception& error) {
        ZKLog::always(std::string("ZUNIK ERROR: ") + error.what());
    }
    return false;
}

// A view whose own text the reading of the whole screen did not find (a
// title over a photograph, whose edge the page's layout joined to it) is
// read again alone, with the room around it, where its own surroundings
// are the background. Only what shows the view's text is kept: another
// reading of the same pixels adds no text the first one missed elsewhere.
void readAgainWhereMissed(const AudView& root, const std::shared_ptr<const RgbaImage>& image, float scale,
                          TextRecognizer& recognizer, std::vector<FoundText>& found) {
    constexpr float room = 24;  // pixels around the view
    // A view larger than this share of the screen is a container, not a text.
    constexpr float largestShare = 0.25F;
    // Each reading takes some milliseconds: a screen whose views' texts
    // mostly differ from what they show is not read again view by view.
    constexpr std::size_t mostReadAgain = 12;
    const auto screen = static_cast<float>(image->width) * static_cast<float>(image->height);
    std::vector<std::pair<const AudView*, std::string>> missed;
    {
        const FoundTextsByRow rows(found);
        root.runOnSelfAndDescendants([&](const AudView& node) {
            if (missed.size() == mostReadAgain) return RunStatus::stop;
            if (!isExamined(node)) return RunStatus::proceed;
            const auto& bounds = node.boundsInScreen;
            if (bounds.width() * bounds.height() > largestShare * screen) return RunStatus::proceed;
            if (auto text = textToMatch(node); text && VisionHelper::selectFoundTexts(*text, bounds, rows).empty())
                missed.emplace_back(&node, std::move(*text));
            return RunStatus::proceed;
        });
    }
    for (const auto& [node, text] : missed) {
        const auto& bounds = node->boundsInScreen;
        const float left = std::max(0.0F, bounds.left() - room), top = std::max(0.0F, bounds.top() - room);
        const float right = std::min(static_cast<float>(image->width), bounds.right() + room);
        const float bottom = std::min(static_cast<float>(image->height), bounds.bottom() + room);
        if (right - left < 1 || bottom - top < 1) continue;
        auto crop = cropImage(*image, AudRect(left, right, top, bottom));
        if (crop.width == 0 || crop.height == 0) continue;
        TextDetectionHelper helper(std::make_shared<const RgbaImage>(std::move(crop)), scale);
        recognizeInto(helper, recognizer);
        const NameMatcher matcher(text);
        for (auto& again : helper.foundText) {
            if (!matcher.matches(again.text)) continue;
            again.rect = AudBounds::withOrigin(again.rect.left() + left, again.rect.top() + top, again.rect.width(),
                                               again.rect.height());
            found.push_back(std::move(again));
        }
    }
}

}  // namespace

std::optional<std::string> textToMatch(const AudView& node) {
    auto text = node.text();
    if (!text && (node.isChildOfElementType(T::segmentedControl) || node.isChildOfElementType(T::tabBar) ||
                  node.isChildOfElementType(T::toolbar)))
        text = node.get(viewkey::label);
    return text;
}

bool isExamined(const AudView& node) {
    return node.elementType != T::picker && node.elementType != T::pickerWheel && node.isVisibleToUser;
}

bool countsAsExamined(const AudView& node) { return node.parent || node.elementType != T::application; }

bool isApplicationElement(const AudView& view) {
    return view.isAccessibilityElement() && !view.isElementOrChildOfElementType(T::statusBar);
}

std::unordered_set<const AudView*> repeatedViews(const AudView& root) {
    std::unordered_set<const AudView*> repeated;
    root.runOnSelfAndDescendants([&](const AudView& node) {
        for (std::size_t i = 1; i < node.children.size(); ++i)
            if (sameElement(*node.children[i - 1], *node.children[i])) repeated.insert(node.children[i].get());
        return RunStatus::proceed;
    });
    return repeated;
}

ExaminedCounts countExamined(const AudView& root, const AudBounds& screen, bool judgesSystemElements) {
    ExaminedCounts counts;
    const auto repeated = repeatedViews(root);
    root.runOnSelfAndDescendants([&](const AudView& node) {
        if (!isExamined(node)) return RunStatus::proceed;
        if (repeated.contains(&node)) return RunStatus::skipChildren;
        if (!judgesSystemElements && node.get(viewkey::systemElement)) {
            ++counts.systemNotJudged;
            return RunStatus::proceed;
        }
        if (countsAsExamined(node)) {
            const bool onScreen = liesOnScreen(node, screen);
            ++(onScreen ? counts.views : counts.offScreen);
            if (onScreen && isApplicationElement(node)) ++counts.elements;
        }
        return RunStatus::proceed;
    });
    return counts;
}

bool liesOnScreen(const AudView& view, const AudBounds& screen) {
    if (screen.width() <= 0 || screen.height() <= 0) return true;
    const auto& bounds = view.boundsInScreen;
    return bounds.left() < screen.right() && screen.left() < bounds.right() && bounds.top() < screen.bottom() &&
           screen.top() < bounds.bottom();
}

std::vector<FoundText> readScreen(const AudView* root, std::shared_ptr<const RgbaImage> image, float scale,
                                  TextRecognizer& recognizer) {
    TextDetectionHelper helper(image, scale);
    // A recogniser that failed on the screen would fail again on each view.
    if (recognizeInto(helper, recognizer) && root)
        readAgainWhereMissed(*root, image, scale, recognizer, helper.foundText);
    return std::move(helper.foundText);
}

}  // namespace audkit
