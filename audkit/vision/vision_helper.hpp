#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audkit/vision/found_text.hpp"

namespace audkit {

class AudView;

// The found texts attached to each view during a scan, in attachment order.
using VisionMap = std::vector<std::pair<std::shared_ptr<AudView>, std::vector<FoundText>>>;

// Found texts sorted by their top edge, so that the ones on a view's rows are
// found without a walk over all texts of the screen.
class FoundTextsByRow {
public:
    // The texts must outlive this object and stay unchanged.
    explicit FoundTextsByRow(const std::vector<FoundText>& foundTexts);

    // The texts whose top edge lies between top and bottom, in given order.
    std::vector<const FoundText*> withTopBetween(float top, float bottom) const;

private:
    const std::vector<FoundText>& foundTexts_;
    std::vector<std::size_t> byTop_;
};

// Matching of found texts to views.
namespace VisionHelper {

// The texts in the order they appear in the view's own text when they all
// appear there, else in their given order; joined with blanks.
std::string orderedText(const std::optional<std::string>& viewText, const std::vector<FoundText>& foundTexts);

// The found texts that belong to a view with this text and frame (pixels).
std::vector<FoundText> selectFoundTexts(const std::string& viewText, const AudBounds& frame,
                                        const FoundTextsByRow& foundTexts);
std::vector<FoundText> selectFoundTexts(const std::string& viewText, const AudBounds& frame,
                                        const std::vector<FoundText>& foundTexts);

// The found texts that lie inside the frame grown by 20 pixels on every side.
std::vector<FoundText> foundTextsInside(const AudBounds& frame, const FoundTextsByRow& foundTexts);

}  // namespace VisionHelper
}  // namespace audkit
