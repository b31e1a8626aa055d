#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "audkit/rules/aud_conf.hpp"
#include "audkit/rules/aud_result.hpp"
#include "audkit/tree/aud_context.hpp"
#include "audkit/vision/found_text.hpp"
#include "audkit/vision/text_recognizer.hpp"

namespace audkit {

// The rule runner of one scan: recognises the screenshot's text, walks the
// view tree and runs every configured rule, then the vision and post-run rules.
class Aud {
public:
    // Without a recogniser the scan finds no text on the screenshot.
    Aud(std::shared_ptr<AudConf> configuration, TextRecognizer* recognizer);

    // Never throws: every outcome of a rule becomes a result.
    std::shared_ptr<AudResult> run(const std::shared_ptr<AudContext>& context);

    // The rules against one view (or none): collected props, ignores, statuses.
    std::vector<std::shared_ptr<AudRuleResult>> runRules(const std::vector<std::shared_ptr<AudRule>>& rules,
                                                         const std::map<std::string, std::set<std::string>>& ignoredRules,
                                                         const std::shared_ptr<AudView>& view,
                                                         const std::vector<FoundText>* foundTexts,
                                                         const std::vector<std::shared_ptr<AudView>>* extra) const;

    // Every text recognised on the context's screenshot; empty when the
    // screenshot cannot be decoded or recognition fails.
    std::vector<FoundText> recognizeText(const AudContext& context) const;

private:
    std::shared_ptr<AudConf> configuration_;
    TextRecognizer* recognizer_;
};

}  // namespace audkit
