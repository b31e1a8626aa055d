#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "audkit/tree/aud_view.hpp"
#include "audkit/tree/text_recognizer.hpp"
#include "audkit/vision/found_text.hpp"

namespace audkit {

// The text a view's found texts are chosen by: its own, or the label of an
// item of a segmented control, tab bar or toolbar.
std::optional<std::string> textToMatch(const AudView& view);

// Whether the scan examines a view (its rules and the texts it shows):
// visible, and no picker.
bool isExamined(const AudView& view);
// Whether an examined view counts among the elements a scan examined: the
// application that holds them does not (a screen of pickers alone examined
// nothing).
bool countsAsExamined(const AudView& view);
// Whether an examined view is an accessibility element of the application's
// own (the status bar's are the system's).
bool isApplicationElement(const AudView& view);
// Whether a view shows any part of itself on the screen (in pixels); an
// unknown (empty) screen holds every view.
bool liesOnScreen(const AudView& view, const AudBounds& screen);

// The views listed a second time right after themselves (WebDriverAgent
// repeats some elements): the same named element, with the same kind, value,
// identifier, traits, bounds and subtree as the sibling before. Each is
// judged once.
std::unordered_set<const AudView*> repeatedViews(const AudView& root);

// What a scan of this tree examines, as the runner walks it (repeated views
// once, the system's elements left alone unless judged): the views on the
// screen, those wholly beyond it, the application's accessibility elements
// among those on it, and the system elements not judged.
struct ExaminedCounts {
    std::size_t views = 0, offScreen = 0, elements = 0, systemNotJudged = 0;
};
ExaminedCounts countExamined(const AudView& root, const AudBounds& screen, bool judgesSystemElements);

// Every text recognised on a screenshot: the whole screen's, then, for each
// view under `root` whose own text that reading missed, what reading the
// view alone finds of that text. A recogniser's error is logged and leaves
// the texts found so far.
std::vector<FoundText> readScreen(const AudView* root, std::shared_ptr<const RgbaImage> image, float scale,
                                  TextRecognizer& recognizer);

}  // namespace audkit
