#include "audkit/vision/screen_reading.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <iterator>
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

// The characters of a text that recognition can read: code points other
// than blanks and ASCII punctuation.
std::size_t shownCharacters(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x80 ? (byte & 0xC0) != 0x80 : std::isalnum(byte) != 0;
    }));
}

// Whether a reading ran; a recogniser's error is logged.
template <typename Reading>
bool readLogged(Reading reading) {
    try {
        reading();
        return true;
    } catch (const ErrorMessages& error) {
        ZKLog::log(error);
    } catch (const std::exception& error) {
        ZKLog::always(std::string("ZUNIK ERROR: ") + error.what());
    }
    return false;
}

// A view whose own text the reading of the whole screen did not find, or
// found with characters missing (a title over a photograph, whose edge the
// page's layout joined to it; a short Chinese name on a 2x screenshot), is
// read again alone, with the room around it, where its own surroundings are
// the background, enlarged on a screenshot of fewer pixels per point than
// recognition reads well. Only what the view takes as its text is kept, in
// place of the part found before: another reading of the same pixels adds
// no text the first one missed elsewhere.
void readAgainWhereMissed(const AudView& root, const std::shared_ptr<const RgbaImage>& image, float scale,
                          TextRecognizer& recognizer, std::vector<FoundText>& found) {
    constexpr float room = 24;  // pixels around the view
    // A view larger than this share of the screen is a container, not a text.
    constexpr float largestShare = 0.25F;
    // Each reading takes some milliseconds: a screen whose views' texts
    // mostly differ from what they show is not read again view by view.
    constexpr std::size_t mostReadAgain = 12;
    // Recognition reads text of 11 pt and more well from about this many
    // pixels per point; a crop is enlarged at most this many times.
    constexpr float readingScale = 4;
    constexpr long mostEnlargement = 4;
    struct Missed {
        const AudView* view;
        std::string text;
        bool inPart;  // some of it was found
    };
    const auto screen = static_cast<float>(image->width) * static_cast<float>(image->height);
    std::vector<Missed> missed;
    {
        const FoundTextsByRow rows(found);
        root.runOnSelfAndDescendants([&](const AudView& node) {
            if (missed.size() == mostReadAgain) return RunStatus::stop;
            if (!isExamined(node)) return RunStatus::proceed;
            const auto& bounds = node.boundsInScreen;
            if (bounds.width() * bounds.height() > largestShare * screen) return RunStatus::proceed;
            auto text = textToMatch(node);
            if (!text) return RunStatus::proceed;
            const auto selected = VisionHelper::selectFoundTexts(*text, bounds, rows);
            // Found in part: characters are missing, not merely read otherwise.
            const auto shown = VisionHelper::orderedText(text, selected);
            if (selected.empty() ||
                (!shownTextMatches(shown, *text) && shownCharacters(shown) < shownCharacters(*text)))
                missed.push_back({&node, std::move(*text), !selected.empty()});
            return RunStatus::proceed;
        });
    }
    const auto factor =
        static_cast<std::uint32_t>(scale > 0 ? std::clamp(std::lround(readingScale / scale), 1L, mostEnlargement) : 1);
    for (const auto& [node, text, inPart] : missed) {
        const auto& bounds = node->boundsInScreen;
        const float left = std::max(0.0F, bounds.left() - room), top = std::max(0.0F, bounds.top() - room);
        const float right = std::min(static_cast<float>(image->width), bounds.right() + room);
        const float bottom = std::min(static_cast<float>(image->height), bounds.bottom() + room);
        if (right - left < 1 || bottom - top < 1) continue;
        auto crop = std::make_shared<const RgbaImage>(cropImage(*image, AudRect(left, right, top, bottom)));
        if (crop->width == 0 || crop->height == 0) continue;
        // The boxes are fractions of the image: those of the enlarged crop
        // are those of the crop, whose own pixels are measured.
        const TextDetectionHelper helper(crop, scale);
        const NameMatcher matcher(text);
        std::vector<FoundText> again;
        // Read as it is first, then, where that does not show the view's text
        // in full, enlarged: strokes a pixel or two wide become readable, but
        // the boxes of glyphs read from repeated pixels are a little looser.
        std::vector<std::uint32_t> enlargements{1};
        if (factor > 1) enlargements.push_back(factor);
        for (const auto times : enlargements) {
            std::vector<TextObservation> observations;
            readLogged([&] { observations = recognizer.recognize(enlargedImage(*crop, times)); });
            std::vector<FoundText> lines;
            for (const auto& observation : observations) {
                auto line = helper.makeFoundText(observation);
                if (!line || (inPart ? !shownTextMatches(line->text, text) : !matcher.matches(line->text))) continue;
                line->rect = AudBounds::withOrigin(line->rect.left() + left, line->rect.top() + top, line->rect.width(),
                                                   line->rect.height());
                lines.push_back(std::move(*line));
            }
            // Kept only where the view takes it as its text.
            lines = VisionHelper::selectFoundTexts(text, bounds, lines);
            if (lines.empty()) continue;
            const bool whole = shownTextMatches(VisionHelper::orderedText(text, lines), text);
            if (again.empty() || whole) again = std::move(lines);
            if (whole) break;
        }
        if (again.empty()) continue;
        // The part read before lies mostly inside what is read now. (Where
        // nothing of the view was read, what lies there belongs to another.)
        if (inPart)
            std::erase_if(found, [&](const FoundText& before) {
                return std::any_of(again.begin(), again.end(), [&](const FoundText& now) {
                    const float width =
                        std::min(before.rect.right(), now.rect.right()) - std::max(before.rect.left(), now.rect.left());
                    const float height =
                        std::min(before.rect.bottom(), now.rect.bottom()) - std::max(before.rect.top(), now.rect.top());
                    return width > 0 && height > 0 && 2 * width * height >= before.rect.width() * before.rect.height();
                });
            });
        std::move(again.begin(), again.end(), std::back_inserter(found));
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
    if (readLogged([&] { helper.detectText(recognizer); }) && root)
        readAgainWhereMissed(*root, image, scale, recognizer, helper.foundText);
    return std::move(helper.foundText);
}

}  // namespace audkit
