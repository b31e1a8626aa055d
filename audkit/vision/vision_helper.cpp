#include "audkit/vision/vision_helper.hpp"

#include <algorithm>
#include <map>

#include "audkit/base/text_helpers.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/tree/image_crop.hpp"
#include "audkit/vision/text_matching.hpp"

namespace audkit::VisionHelper {
namespace {

std::string joined(const std::vector<std::string>& texts) {
    std::string text;
    for (const auto& piece : texts) text += (text.empty() ? "" : " ") + piece;
    return text;
}

std::string joinedInGivenOrder(const std::vector<FoundText>& foundTexts) {
    std::vector<std::string> texts;
    for (const auto& found : foundTexts) texts.push_back(found.text);
    return joined(texts);
}

bool insideGrown(const AudBounds& rect, const AudBounds& frame) {
    return rect.left() >= frame.left() - 20 && rect.right() <= frame.right() + 20 && rect.top() >= frame.top() - 20 &&
           rect.bottom() <= frame.bottom() + 20;
}

// The union of the texts' rectangles, skipping empty ones; none when all are.
std::optional<AudBounds> unionOf(const std::vector<FoundText>& foundTexts) {
    std::optional<AudBounds> area;
    for (const auto& found : foundTexts) {
        const auto& rect = found.rect;
        if (rect.width() == 0 || rect.height() == 0) continue;
        if (!area) {
            area = rect;
            continue;
        }
        area = AudBounds(std::min(area->left(), rect.left()), std::max(area->right(), rect.right()),
                         std::min(area->top(), rect.top()), std::max(area->bottom(), rect.bottom()));
    }
    return area;
}

bool intersectPositively(const AudBounds& a, const AudBounds& b) {
    const AudBounds overlap(std::max(a.left(), b.left()), std::min(a.right(), b.right()), std::max(a.top(), b.top()),
                            std::min(a.bottom(), b.bottom()));
    return overlap.width() > 0 && overlap.height() > 0;
}

const std::vector<FoundText>* foundTextsOf(const AudView& view, const VisionMap& visionMap) {
    for (const auto& [mapped, texts] : visionMap)
        if (mapped.get() == &view) return &texts;
    return nullptr;
}

}  // namespace

std::string orderedText(const std::optional<std::string>& viewText, const std::vector<FoundText>& foundTexts) {
    if (viewText) {
        const auto view = removingPunctuation(lowercased(*viewText));
        std::map<std::size_t, std::string> byPosition;
        bool allFound = true;
        for (const auto& found : foundTexts) {
            const auto text = trimmedWhitespaceAndNewlines(removingPunctuation(lowercased(found.text)));
            const auto position = text.empty() ? std::string::npos : view.find(text);
            if (position == std::string::npos) {
                allFound = false;
                break;
            }
            byPosition[position] = found.text;
        }
        if (allFound) {
            std::vector<std::string> texts;
            for (const auto& [position, text] : byPosition) texts.push_back(text);
            return joined(texts);
        }
    }
    return joinedInGivenOrder(foundTexts);
}

std::vector<FoundText> foundTextsInside(const AudBounds& frame, const std::vector<FoundText>& foundTexts) {
    std::vector<FoundText> inside;
    for (const auto& found : foundTexts)
        if (insideGrown(found.rect, frame)) inside.push_back(found);
    return inside;
}

std::vector<FoundText> selectFoundTexts(const std::string& viewText, const AudBounds& frame,
                                        const std::vector<FoundText>& foundTexts) {
    std::vector<FoundText> inside, sameRows;
    for (const auto& found : foundTexts) {
        if (!detectedTextMatches(found.text, viewText)) continue;
        const auto& rect = found.rect;
        if (insideGrown(rect, frame)) {
            inside.push_back(found);
            if (found.text == viewText || orderedText(viewText, inside) == viewText) break;
            continue;
        }
        if (rect.top() >= frame.top() - 20 && rect.bottom() <= frame.bottom() + 20) {
            // Same rows, wider than the view: narrowed to the view and given its text.
            const float dx = std::abs(frame.left() - rect.left());
            FoundText narrowed = found;
            narrowed.text = viewText;
            auto crop = cropImage(found.image->image(), AudRect::withOrigin(dx, 0, frame.width(), frame.height()));
            if (crop.width > 0 && crop.height > 0) narrowed.image = std::make_shared<AudBitmap>(std::move(crop));
            const float left = rect.left() + dx;
            narrowed.rect = AudBounds(left, left + frame.width(), rect.top(), rect.bottom());
            sameRows.push_back(std::move(narrowed));
        }
    }
    return inside.empty() ? sameRows : inside;
}

std::vector<std::shared_ptr<AudView>> overlappingViews(const AudView& view, const VisionMap& visionMap) {
    const auto summary = [&](const AudView& subject) {
        const auto text = joined(subject.textOfSelfAndDescendants());
        const auto* texts = foundTextsOf(subject, visionMap);
        static const std::vector<FoundText> none;
        const auto& found = texts ? *texts : none;
        return std::make_tuple(text, orderedText(text, found), unionOf(found));
    };
    const auto [text, ordered, area] = summary(view);
    std::vector<std::shared_ptr<AudView>> overlapping;
    if (detectedTextMatches(ordered, text)) return overlapping;
    for (const auto& [other, texts] : visionMap) {
        if (other.get() == &view) continue;
        const auto [otherText, otherOrdered, otherArea] = summary(*other);
        if (detectedTextMatches(otherOrdered, ordered)) continue;
        if (area && otherArea && intersectPositively(*area, *otherArea)) overlapping.push_back(other);
    }
    return overlapping;
}

}  // namespace audkit::VisionHelper
