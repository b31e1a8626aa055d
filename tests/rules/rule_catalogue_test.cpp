#include <gtest/gtest.h>

#include <unordered_set>

#include "audkit/rules/aud_rule.hpp"
#include "audkit/rules/rule_catalogue.hpp"

namespace audkit {
namespace {

class CountWords : public AudRule {
public:
    using AudRule::AudRule;
    std::shared_ptr<AudProps> collectProps(const AudView&) override { return std::make_shared<AudProps>(); }
    AudStatus runRule(const AudProps&) override { return AudStatus::pass; }
};

std::shared_ptr<RuleConf> someConf() {
    return std::make_shared<RuleConf>(AudImpact::minor, AudStandard::bestPractice, "Counts words.", false);
}

TEST(RuleCatalogue, IdsParseExactlyAndMakeRulesWithTheirDefaults) {
    EXPECT_EQ(rawValue(parseAudEnum<AudRuleId>("ColorContrast")), 4);
    EXPECT_THROW((void)parseAudEnum<AudRuleId>("colorcontrast"), AudEnumError);
    EXPECT_EQ(allCases<AudRuleId>().size(), 20U);

    const auto dynamicType = makeRule(AudRuleId::supportsDynamicType);
    EXPECT_TRUE(dynamicType->config()->ignored);
    EXPECT_TRUE(dynamicType->config()->experimental);
    const auto action = makeRule(AudRuleId::inaccessibleAction);
    EXPECT_TRUE(action->config()->experimental);
    EXPECT_FALSE(action->config()->ignored);

    const auto contrast = makeRule(AudRuleId::colorContrast);
    EXPECT_EQ(contrast->id(), "ColorContrast");
    EXPECT_EQ(contrast->impact(), AudImpact::serious);
    EXPECT_EQ(contrast->standard(), AudStandard::wcag20);
    EXPECT_NE(makeRule(AudRuleId::colorContrast)->config(), contrast->config());  // a fresh instance each time
    EXPECT_EQ(catalogueEntry(AudRuleId::touchTargetSize).summary,
              "All active controls should have a minimum of 44pt by 44pt visual and tappable area.");
}

TEST(RuleCatalogue, StatusErrorListsEveryCase) {
    try {
        (void)parseAudEnum<AudStatus>("OK");
        FAIL();
    } catch (const AudEnumError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "AudStatus OK does not exist. Valid rawValues "
                  "are\n\tINAPPLICABLE\n\tINCOMPLETE\n\tPASS\n\tFAIL\n\tIGNORED");
    }
    EXPECT_EQ(toString(AudStandard::bestPractice), "Best Practice");
}

TEST(AudRuleContract, CustomRulesAreNamedAfterTheirClassAndComparedByNormalisedId) {
    const CountWords custom(someConf());
    EXPECT_EQ(custom.id(), "CountWords");
    const CountWords a(" countwords\n", someConf());
    const CountWords b("COUNTWORDS", someConf());
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, custom);
    EXPECT_EQ(a.hash(), b.hash());
    EXPECT_FALSE(a == CountWords("CountLetters", someConf()));
}

TEST(AudRuleContract, OffScreenErrorText) {
    EXPECT_EQ(std::string(RuleHelperError::offScreen().what()),
              "Element is not fully visible in this scan or may be near the home indicator or needs to be scrolled "
              "into view.");
}

}  // namespace
}  // namespace audkit
