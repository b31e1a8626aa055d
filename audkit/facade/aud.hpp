#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "audkit/rules/aud_conf.hpp"
#include "audkit/rules/aud_result.hpp"
#include "audkit/tree/aud_context.hpp"
#include "audkit/tree/text_recognizer.hpp"
#include "audkit/vision/found_text.hpp"

namespace audkit {

// The rule runner of one scan: recognises the screenshot's text, walks the
// view tree and runs every configured rule, then the vision and post-run rules.
class Aud {
public:
    // Without a recogniser the scan finds no text on the screenshot.
    Aud(std::shared_ptr<AudConf> configuration, TextRecognizer* recognizer);

    // Never throws: every outcome of a rule becomes a result.
    std::shared_ptr<AudResult> run(const std::shared_ptr<AudContext>& context);

    // Every text recognised on the context's screenshot, views whose own
    // text the whole screen's reading missed read again alone; empty when the
    // screenshot cannot be decoded or recognition fails.
    std::vector<FoundText> recognizeText(const AudContext& context) const;

private:
    using Results = std::vector<std::shared_ptr<AudRuleResult>>;
    using Views = std::vector<std::shared_ptr<AudView>>;

    // One family each: ordinary rules judge a view alone; vision rules judge it
    // with its found texts and the views whose texts overlap it; post-run rules
    // judge what the walk gathered for them; screen text rules judge every
    // text found on the screen once, against the whole tree (run in run()).
    Results runViewRules(const std::vector<std::shared_ptr<AudRule>>& rules, const std::shared_ptr<AudView>& view);
    Results runVisionRules(const std::vector<std::shared_ptr<VisionRule>>& rules, const std::shared_ptr<AudView>& view,
                           const std::vector<FoundText>& foundTexts, const Views& overlapping);
    Results runPostRunRules(const std::vector<std::shared_ptr<PostRunRule>>& rules,
                            const std::shared_ptr<AudView>& view, const Views& gathered);
    // The rule ids ignored for the view: those listed under its class name and
    // under its accessibility identifier; none without a view.
    std::set<std::string> ignoredFor(const AudView* view) const;
    // Adds the runner's keys, records IGNORED or the rule's outcome (none when
    // INAPPLICABLE or without a view); a post-run rule's ready-made results
    // take the place of its outcome.
    void record(AudRule& rule, const std::shared_ptr<AudView>& view, const std::set<std::string>& ignored,
                std::shared_ptr<AudProps> props, Results& results, PostRunRule* postRun = nullptr);

    std::shared_ptr<AudConf> configuration_;
    TextRecognizer* recognizer_;
    std::size_t withheld_ = 0;  // failures of this run not given: they rested on inferred facts
};

}  // namespace audkit
