#include <gtest/gtest.h>

#include "audkit/rules/rule_label_at_front.hpp"
#include "audkit/rules/rule_label_in_name.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using test::judge;
using test::Verdict;

Verdict atFront(const std::string& name, const std::string& shown) {
    return judge(AudRuleId::labelAtFront, *test::buttonShowing(name, shown).build(), "Button");
}

TEST(RuleLabelAtFront, TheShownTextStartsTheName) {
    test::LogCapture log;
    EXPECT_EQ(atFront("Submit order", "Submit").status, AudStatus::pass);
    EXPECT_EQ(atFront("Order submit", "Submit"),
              (Verdict{AudStatus::fail, std::string(RuleLabelAtFront::info.summary)}));
    EXPECT_EQ(atFront("Sign in with Apple", "Continue with Apple").status, AudStatus::fail);
}

// Recognised text with an error still starts the name; a view partly off the
// screen needs a look instead of a verdict.
TEST(RuleLabelAtFront, RecognisedTextAndViewsOffTheScreen) {
    RuleLabelAtFront front(catalogueConf(AudRuleId::labelAtFront));
    AudProps recognised;
    recognised.add(rulekey::name, std::string("Submit"));
    recognised.add(RuleLabelInName::detectedTextKey, std::string("Submt"));
    EXPECT_EQ(decideOutcome(front, recognised).status, AudStatus::pass);
    AudProps offScreen;
    offScreen.add(rulekey::name, std::string("Apple"));
    offScreen.add(RuleLabelInName::detectedTextKey, std::string("Continue with Apple"));
    offScreen.add(RuleLabelInName::elementOffScreenKey, 0.3F);
    EXPECT_EQ(decideOutcome(front, offScreen).status, AudStatus::incomplete);
}

}  // namespace
}  // namespace audkit
