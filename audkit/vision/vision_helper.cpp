#include "audkit/vision/vision_helper.hpp"

#include <algorithm>
#include <map>
#include <numeric>
#include <optional>

#include "audkit/base/text_helpers.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/tree/image_crop.hpp"
#include "audkit/vision/text_matching.hpp"

namespace audkit {
namespace VisionHelper {
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

// How far (pixels) a found text may reach beyond a view's frame and still be its.
constexpr float tolerance = 20;

bool insideGrown(const AudBounds& rect, const AudBounds& frame) {
    return rect.left() >= frame.left() - tolerance && rect.right() <= frame.right() + tolerance &&
           rect.top() >= frame.top() - tolerance && rect.bottom() <= frame.bottom() + tolerance;
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

// The texts that may belong to the frame: both ways of belonging need the
// text's rows within the frame's rows, grown by the tolerance.
std::vector<const FoundText*> onRowsOf(const AudBounds& frame, const FoundTextsByRow& foundTexts) {
    return foundTexts.withTopBetween(frame.top() - tolerance, frame.bottom() + tolerance);
}

std::vector<FoundText> foundTextsInside(const AudBounds& frame, const FoundTextsByRow& foundTexts) {
    std::vector<FoundText> inside;
    for (const auto* found : onRowsOf(frame, foundTexts))
        if (insideGrown(found->rect, frame)) inside.push_back(*found);
    return inside;
}

std::vector<FoundText> selectFoundTexts(const std::string& viewText, const AudBounds& frame,
                                        const std::vector<FoundText>& foundTexts) {
    return selectFoundTexts(viewText, frame, FoundTextsByRow(foundTexts));
}

std::vector<FoundText> selectFoundTexts(const std::string& viewText, const AudBounds& frame,
                                        const FoundTextsByRow& foundTexts) {
    std::vector<FoundText> inside, sameRows;
    std::optional<NameMatcher> matcher;  // made for the first candidate in place
    for (const auto* candidate : onRowsOf(frame, foundTexts)) {
        const auto& found = *candidate;
        const auto& rect = found.rect;
        // Where the text lies is checked before what it says: the place is
        // cheap to compare, the words are not. A line on the same rows must
        // overlap the view: one beside it is another view's text.
        const bool isInside = insideGrown(rect, frame);
        const bool onSameRows = !isInside && rect.top() >= frame.top() - tolerance &&
                                rect.bottom() <= frame.bottom() + tolerance && rect.left() < frame.right() &&
                                frame.left() < rect.right();
        if (!isInside && !onSameRows) continue;
        if (!matcher) matcher.emplace(viewText);
        if (!matcher->matches(found.text)) continue;
        if (isInside) {
            inside.push_back(found);
            if (found.text == viewText || orderedText(viewText, inside) == viewText) break;
            continue;
        }
        // Same rows, wider than the view: narrowed to the view's own span and
        // given its text. The line may stick out on either side.
        FoundText narrowed = found;
        narrowed.text = viewText;
        if (found.image) {
            const float dx = std::max(0.0F, frame.left() - rect.left());
            auto crop = cropImage(found.image->image(), AudRect::withOrigin(dx, 0, frame.width(), frame.height()));
            if (crop.width > 0 && crop.height > 0) narrowed.image = std::make_shared<AudBitmap>(std::move(crop));
        }
        narrowed.rect = AudBounds(frame.left(), frame.right(), rect.top(), rect.bottom());
        sameRows.push_back(std::move(narrowed));
    }
    return inside.empty() ? sameRows : inside;
}

}  // namespace VisionHelper

FoundTextsByRow::FoundTextsByRow(const std::vector<FoundText>& foundTexts)
    : foundTexts_(foundTexts), byTop_(foundTexts.size()) {
    std::iota(byTop_.begin(), byTop_.end(), std::size_t{0});
    std::stable_sort(byTop_.begin(), byTop_.end(), [&](std::size_t a, std::size_t b) {
        return foundTexts_[a].rect.top() < foundTexts_[b].rect.top();
    });
}

std::vector<const FoundText*> FoundTextsByRow::withTopBetween(float top, float bottom) const {
    const auto topOf = [&](std::size_t index) { return foundTexts_[index].rect.top(); };
    const auto first = std::partition_point(byTop_.begin(), byTop_.end(), [&](auto i) { return topOf(i) < top; });
    const auto last = std::partition_point(first, byTop_.end(), [&](auto i) { return topOf(i) <= bottom; });
    std::vector<std::size_t> positions(first, last);
    std::sort(positions.begin(), positions.end());
    std::vector<const FoundText*> texts;
    texts.reserve(positions.size());
    for (const auto position : positions) texts.push_back(&foundTexts_[position]);
    return texts;
}

}  // namespace audkit
