#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audkit/base/json.hpp"
#include "audkit/rules/aud_conf.hpp"
#include "audkit/rules/aud_rule_result.hpp"
#include "audkit/tree/aud_context.hpp"

namespace audkit {

// The result of one scan: the configuration it ran with, the captured context
// and every recorded rule result in runner order.
class AudResult {
public:
    // The screen title, when the context has one, names the scan.
    AudResult(std::optional<std::string> scanName, std::shared_ptr<AudConf> audConf,
              std::shared_ptr<AudContext> audContext, std::vector<std::shared_ptr<AudRuleResult>> audRuleResults);

    std::optional<std::string> scanName;
    std::optional<std::vector<std::string>> tags;
    std::shared_ptr<AudConf> audConf;
    std::shared_ptr<AudContext> audContext;
    std::vector<std::shared_ptr<AudRuleResult>> audRuleResults;
    // Rules the scan was configured to run but could not, by id, with why
    // (not part of the result document).
    std::map<std::string, std::string> rulesNotRun;
    // What the scan examined, counted by the runner (not part of the result
    // document): the visible views it judged (the application holding them
    // is not counted) that show on the screen, the visible ones lying wholly
    // outside it (judged, but a capture of those alone showed nothing), and
    // the visible system elements it left alone because the configuration
    // does not judge them.
    std::size_t viewsExamined = 0;
    std::size_t viewsOffScreen = 0;
    // Of the views examined on the screen, the application's accessibility
    // elements: few or none, and assistive technology meets almost nothing.
    std::size_t elementsExamined = 0;
    std::size_t systemElementsNotJudged = 0;
    // The languages the screenshot's text was read in (empty when a caller's
    // recogniser read it), and the languages the screen's texts call for
    // whose models are not installed (not part of the result document).
    std::string recognitionLanguages;
    std::vector<std::string> missingLanguageModels;
    // Failures not given because they would rest on facts of an imported dump
    // that the dump does not record (the importer inferred them).
    std::size_t verdictsOnInferredFacts = 0;

    std::vector<std::shared_ptr<AudRuleResult>> failures() const;
    std::vector<std::shared_ptr<AudRuleResult>> passes() const;
    std::vector<std::shared_ptr<AudRuleResult>> incompletes() const;

    std::string shortDescription() const;
    // The short description, then one block per rule id in id order.
    std::string description() const;
};

// The result document: "scanName" and "tags" when present, then "audConf",
// "audContext" and "audRuleResults".
Json resultToJson(const AudResult& result);
std::shared_ptr<AudResult> resultFromJson(const Json& json);

// The document as text. Text that is not valid UTF-8 (a label read from a
// broken capture, say) is written with U+FFFD in place of the bad bytes, so the
// document is always valid JSON.
std::string resultDocument(const AudResult& result, int indent = -1);

}  // namespace audkit
