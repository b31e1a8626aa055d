#pragma once

#include <array>
#include <string>
#include <vector>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/scan_screen.hpp"
#include "audkit/vision/found_text.hpp"

namespace audkit {

// Text drawn on the screen that no accessibility element exposes is out of
// reach of assistive technology: a canvas or game screen whose tree holds
// only empty containers, a list cut off at the test driver's depth limit.
// Judged once per screen over the recognised lines. A line is exposed when
// elements, controls, labelled pictures or system areas cover most of it
// (those answer for what they draw), when a view over it carries its text
// (whether that view is reachable is the focusable-text rule's question), or
// when a view below the one holding it does. The lines left are reported
// together on the smallest view that holds each: one finding per such view,
// which stays the same finding however recognition splits the lines.
class RuleUnexposedText : public ScreenTextRule {
public:
    static constexpr RuleInfo info{
        .id = AudRuleId::unexposedText,
        .standard = AudStandard::wcag20,
        .impact = AudImpact::critical,
        .criterion = "1.3.1 Info and Relationships",
        .summary =
            "Text shown on the screen should be exposed to assistive technology through an accessibility "
            "element.",
        .passingDescription = "Every text recognised on the screen is exposed by an accessibility element."};
    // The texts no element exposes, in reading order (an empty list: every
    // text the screen shows is exposed), and the box around them in pixels.
    static constexpr PropKey<std::vector<std::string>> textsKey{"Unexposed Text"};
    static constexpr PropKey<AudBounds> textFrameKey{"Unexposed Text Frame"};
    static constexpr std::array keys{textsKey.name, textFrameKey.name};

    // A line is text when it has this many letters or digits (two Chinese or
    // Japanese characters make a word; fewer is an icon read as a glyph or a
    // speck) and the recogniser is this sure of it: texture of photographs
    // reads as short words of 0.4 to 0.8, drawn text as 0.9 and more.
    static constexpr std::size_t leastLettersAndDigits = 3;
    static constexpr std::size_t leastCjkLettersAndDigits = 2;
    static constexpr float leastConfidence = 0.85F;
    // The share of a line that elements must cover for them to own it.
    static constexpr float ownedShare = 0.5F;
    // The share of a line a view must hold for the line to lie in it.
    static constexpr float heldShare = 0.5F;
    // System areas, in points, that the application does not draw: the status
    // bar (taller on phones with a notch or island, at least 812 pt tall and
    // narrower than a tablet) and the home indicator below.
    static constexpr float statusBarPoints = 20;
    static constexpr float notchedStatusBarPoints = 54;
    static constexpr float homeIndicatorPoints = 34;
    static constexpr float notchedPhoneLeastHeight = 812;
    static constexpr float phoneMostWidth = 600;

    static std::string failureMessage(const std::vector<std::string>& texts);

    explicit RuleUnexposedText(std::shared_ptr<RuleConf> config) : ScreenTextRule(info, std::move(config)) {}

    void setUp(const AudContext& context) override;
    std::shared_ptr<AudProps> collectProps(const AudView&) override { return std::make_shared<AudProps>(); }
    Judged collectScreenProps(AudView& root, const std::vector<FoundText>& foundTexts) override;
    AudStatus runRule(const AudProps& props) override;

    // Whether a recognised line is text: enough letters or digits, read with
    // enough confidence.
    static bool isText(const FoundText& line);

private:
    // Whether the middle of a box (pixels) lies in the status bar or the home
    // indicator of the scan's screen.
    bool inSystemArea(const AudBounds& box) const;

    ScanScreen screen_;
};

}  // namespace audkit
