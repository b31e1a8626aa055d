#pragma once

#include <string_view>

#include "audkit/rules/aud_rule_id.hpp"
#include "audkit/rules/rule_vocabulary.hpp"

namespace audkit {

// Facts of an element that a capture imported from a dump may not record, so
// that the importer inferred them (the bits combine).
enum RecordedFact : unsigned {
    noFact = 0,
    elementFlag = 1,  // whether the element is an accessibility element
    traitBits = 2,    // its accessibility traits
};

// The fixed facts of a built-in rule, declared once in the rule's own header
// and read by the catalogue.
struct RuleInfo {
    AudRuleId id;
    AudStandard standard;
    AudImpact impact;
    // The WCAG success criterion the rule checks ("1.4.3 Contrast (Minimum)");
    // empty for a platform convention or a best practice.
    std::string_view criterion{};
    bool experimental = false;
    bool ignoredByDefault = false;
    std::string_view summary;
    // Empty: the rule has none, and a PASS shows the configured summary.
    std::string_view passingDescription{};
    // The element facts a FAIL of the rule rests on: where the capture says
    // the judged element's were inferred, the runner reports what the dump
    // does not tell (INCOMPLETE) instead of a failure resting on a guess.
    unsigned restsOn = noFact;
};

}  // namespace audkit
