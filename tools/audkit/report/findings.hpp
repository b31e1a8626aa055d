#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audkit/rules/aud_result.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit::cli {

// A recorded result with the view it is about; one a person has to look at
// (FAIL or INCOMPLETE) is numbered in result order as the reports number it.
struct Finding {
    std::size_t number = 0;
    std::shared_ptr<AudRuleResult> result;
    std::shared_ptr<const AudView> view;  // null when the view is not in the tree
    bool known = false;                   // accepted in the baseline the scan compared with
    std::string knownBecause;             // the reason the baseline gives for it, if any

    // "UIButton "Sign in" (id signInButton)": type, then label and identifier,
    // and for an imported element where it stands in the dump (", line 57 of the dump").
    std::string element() const;
    // Where the view stands in the tree: each ancestor's class and position
    // among its siblings of that class, from the root ("UIWindow[0]/UIButton[2]").
    std::string treePath() const;
    // The view's frame in points: x, y, width, height.
    struct Frame {
        double x = 0, y = 0, width = 0, height = 0;
    };
    Frame frameInPoints(float scale) const;
    // The finding in a sentence for reports of other tools: the element, its
    // frame in points, the rule's message and the measured colours, if any.
    std::string message(float scale) const;
    // Where the screen's file lies for reports of other tools: a dump scanned
    // directly, else the bundle's capture.json.
    static std::string capturePath(const std::string& screen);
    // The finding's line in the dump scanned directly; none for a bundle.
    std::optional<int> dumpLine(const std::string& screen) const;
    // The same text for the same element, rule and screen from scan to scan:
    // the identifier where there is one, else the place in the tree and label.
    std::string fingerprint(const std::string& screen) const;
};

// Every recorded result with its view; FAIL and INCOMPLETE ones are numbered
// from 1, the others have number 0.
std::vector<Finding> judgedViews(const AudResult& result);
// Only the numbered ones.
std::vector<Finding> findingsOf(const AudResult& result);

// One box per view that has findings, as the reports draw them: the view, its
// findings' numbers ("3,4") and its worst status, in the order of first finding.
struct FindingBox {
    const AudView* view;
    std::string numbers;
    AudStatus worst = AudStatus::incomplete;
};
std::vector<FindingBox> findingBoxes(const std::vector<Finding>& findings);

// What a scan covered: the views it examined and the rules it did not run,
// with why.
struct Coverage {
    std::size_t viewsExamined = 0;
    std::size_t elementsExamined = 0;         // accessibility elements of the application among them
    std::size_t systemElementsNotJudged = 0;  // visible, drawn by the system, left alone
    std::size_t verdictsOnInferredFacts = 0;  // failures not given: the dump does not record what they rest on
    std::vector<std::pair<std::string, std::string>> rulesNotRun;  // id, why
    std::string languages;  // the text was read in ("chi_sim+eng"); empty when not known
};

Coverage coverageOf(const AudResult& result);

// What a screen whose examined views are (nearly) none of them accessibility
// elements says after its count of views ("none of them an accessibility
// element"), so that the cause of what cannot be reached shows; none for
// other screens.
std::optional<std::string> fewElementsNote(const Coverage& coverage);

}  // namespace audkit::cli
