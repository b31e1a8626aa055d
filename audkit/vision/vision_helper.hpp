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

// Matching of found texts to views.
namespace VisionHelper {

// The texts in the order they appear in the view's own text when they all
// appear there, else in their given order; joined with blanks.
std::string orderedText(const std::optional<std::string>& viewText, const std::vector<FoundText>& foundTexts);

// The found texts that belong to a view with this text and frame (pixels).
std::vector<FoundText> selectFoundTexts(const std::string& viewText, const AudBounds& frame,
                                        const std::vector<FoundText>& foundTexts);

// The found texts that lie inside the frame grown by 20 pixels on every side.
std::vector<FoundText> foundTextsInside(const AudBounds& frame, const std::vector<FoundText>& foundTexts);

// The other views of the map whose text areas overlap this view's while
// their texts differ.
std::vector<std::shared_ptr<AudView>> overlappingViews(const AudView& view, const VisionMap& visionMap);

}  // namespace VisionHelper
}  // namespace audkit
