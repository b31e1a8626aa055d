#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "audkit/base/error.hpp"
#include "audkit/rules/rule_conf.hpp"
#include "audkit/rules/rule_info.hpp"
#include "audkit/tree/aud_props.hpp"

namespace audkit {

class AudContext;
struct AudRuleResult;
class AudView;
struct FoundText;

// The role of a rule's verdict thrown as an error: the result is FAIL and
// `what()` becomes its summary.
class ResultDescription {
public:
    virtual ~ResultDescription() = default;
};

// An error carrying a rule's FAIL verdict.
class RuleFailure : public Error, public ResultDescription {
public:
    using Error::Error;
};

// The shared rule error: the view is not fully on screen (INCOMPLETE).
class RuleHelperError : public MessageError {
public:
    static RuleHelperError offScreen() {
        return RuleHelperError(
            "Element is not fully visible in this scan or may be near the home indicator or needs to be scrolled into "
            "view.");
    }

private:
    using MessageError::MessageError;
};

// The contract of every accessibility rule: collect facts about one view into
// a property bag, then decide from that bag alone. Rules are compared by their
// id, lower-cased and trimmed.
class AudRule {
public:
    // A built-in rule: its catalogue id and passing description.
    AudRule(const RuleInfo& info, std::shared_ptr<RuleConf> config);
    // A rule with an id of its own choosing.
    AudRule(std::string id, std::shared_ptr<RuleConf> config);
    // A custom rule: its id is the unqualified name of its class.
    explicit AudRule(std::shared_ptr<RuleConf> config);
    virtual ~AudRule() = default;

    const std::string& id() const;
    virtual std::string summary() const { return config_->summary; }
    virtual std::optional<std::string> passingDescription() const { return passingDescription_; }
    virtual void setPassingDescription(std::optional<std::string> text) { passingDescription_ = std::move(text); }
    virtual AudStandard standard() const { return config_->standard; }
    virtual AudImpact impact() const { return config_->impact; }
    // The impact of the result for a view with these props: the configured
    // one, unless the rule measures how serious each finding is.
    virtual AudImpact impactFor(const AudProps&) const { return config_->impact; }
    virtual const std::shared_ptr<RuleConf>& config() const { return config_; }
    // The RecordedFact bits a FAIL of the rule rests on (none for custom rules).
    unsigned restsOn() const { return restsOn_; }
    virtual void setConfig(std::shared_ptr<RuleConf> config) { config_ = std::move(config); }

    // Called with the scan's context before any view is examined.
    virtual void setUp(const AudContext& context);
    virtual std::shared_ptr<AudProps> collectProps(const AudView& view) = 0;
    // May throw: a ResultDescription error is a FAIL, anything else INCOMPLETE.
    virtual AudStatus runRule(const AudProps& props) = 0;
    virtual void tearDown() {}

    bool operator==(const AudRule& other) const { return normalisedId() == other.normalisedId(); }
    std::size_t hash() const;
    std::string normalisedId() const;

private:
    mutable std::string id_;
    std::optional<std::string> passingDescription_;
    std::shared_ptr<RuleConf> config_;
    unsigned restsOn_ = noFact;
};

// Rules that look at the text found on the screenshot for a view.
class VisionRule : public AudRule {
public:
    using AudRule::AudRule;
    virtual std::shared_ptr<AudProps> collectVisionProps(const AudView& view, const std::vector<FoundText>& foundTexts,
                                                         const std::vector<std::shared_ptr<AudView>>& overlapping) = 0;
};

// Rules that judge the text recognised anywhere on the screen once, against
// the whole tree: the rule picks the views it reports on, each with its bag.
class ScreenTextRule : public AudRule {
public:
    using Judged = std::vector<std::pair<std::shared_ptr<AudView>, std::shared_ptr<AudProps>>>;

    using AudRule::AudRule;
    virtual Judged collectScreenProps(AudView& root, const std::vector<FoundText>& foundTexts) = 0;
};

// Rules that run after the walk over the views gathered for them.
class PostRunRule : public AudRule {
public:
    // What the walk gathers for the rule: the outermost active controls (the
    // rule judges each of them against all), or the named static texts (the
    // rule runs once, with no view of its own).
    enum class Gathered { activeControls, staticTexts };

    using AudRule::AudRule;
    virtual Gathered gathered() const = 0;
    virtual std::shared_ptr<AudProps> collectPostRunProps(const std::shared_ptr<AudView>& view,
                                                          const std::vector<std::shared_ptr<AudView>>& gathered) = 0;
    // Results the rule made itself from the bag, one per view it judged; the
    // runner records them as they are. None: the runner goes on as usual.
    virtual std::vector<std::shared_ptr<AudRuleResult>> readyResults(const AudProps&) { return {}; }
};

}  // namespace audkit
