#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "audkit/rules/aud_conf.hpp"
#include "audkit/rules/rule_catalogue.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

class RecordingSender : public AnalyticsSender {
public:
    void sendEvent(const std::string& eventType, const Json& properties) override {
        events.push_back(eventType + " " + properties.dump());
    }
    std::vector<std::string> events;
};

class MyRule : public AudRule {
public:
    using AudRule::AudRule;
    std::shared_ptr<AudProps> collectProps(const AudView&) override { return std::make_shared<AudProps>(); }
    AudStatus runRule(const AudProps&) override { return AudStatus::pass; }
};

std::shared_ptr<MyRule> customRule(const std::string& id) {
    return std::make_shared<MyRule>(
        id, std::make_shared<RuleConf>(AudImpact::minor, AudStandard::platform, "Mine.", false));
}

std::vector<std::string> idsOf(const std::vector<std::shared_ptr<AudRule>>& rules) {
    std::vector<std::string> ids;
    for (const auto& rule : rules) ids.push_back(rule->id());
    return ids;
}

bool contains(const std::vector<std::string>& ids, const std::string& id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

TEST(AudConf, NewConfigurationAndTheDynamicTypeOptIn) {
    AudConf conf;
    EXPECT_EQ(conf.rules.size(), allCases<AudRuleId>().size());
    for (const auto& [id, rule] : conf.rules) EXPECT_EQ(rule->ignored, id == "SupportsDynamicType") << id;
    EXPECT_EQ(conf.rulesToRun().size(), allCases<AudRuleId>().size() - 1);
    conf.setOptInToSupportsDynamicType(true);
    EXPECT_FALSE(conf.rules.at("SupportsDynamicType")->ignored);
    conf.setOptInToSupportsDynamicType(false);
    EXPECT_TRUE(conf.rules.at("SupportsDynamicType")->ignored);
}

TEST(AudConf, IgnoringRulesAndUnknownIds) {
    test::LogCapture log;
    AudConf conf;
    conf.ignore("ColorContrast", true);
    EXPECT_FALSE(contains(idsOf(conf.rulesToRun()), "ColorContrast"));
    const auto ruleIds = audConfToJson(conf).at("ruleIds").get<std::vector<std::string>>();
    EXPECT_FALSE(contains(ruleIds, "ColorContrast"));
    EXPECT_EQ(ruleIds.size(), allCases<AudRuleId>().size() - 2);

    const auto before = conf.description();
    conf.ignore("NoSuchRule", true);
    EXPECT_EQ(conf.description(), before);
    ASSERT_EQ(log.lines().size(), 1U);
    EXPECT_TRUE(log.lines()[0].starts_with("ZUNIK ERROR: Rule NoSuchRule is not available in the AudConf object"));
    EXPECT_NE(log.lines()[0].find("Current configuration is\n\tAudConf\nA11yElementFocusBox: isIgnored = false\n"),
              std::string::npos);

    conf.rules.erase("LabelInName");
    conf.ignore("LabelInName", false);
    ASSERT_TRUE(conf.rules.contains("LabelInName"));
    EXPECT_EQ(conf.rules.at("LabelInName")->summary, catalogueEntry(AudRuleId::labelInName).summary);
}

TEST(AudConf, CustomRulesJoinAndLeaveTheRuleTable) {
    AudConf conf;
    auto sender = std::make_shared<RecordingSender>();
    conf.analytics = sender;
    const auto mine = customRule("MyRule");
    conf.setCustomRules({mine, customRule(" myrule ")});
    EXPECT_EQ(conf.customRules().size(), 1U);
    EXPECT_EQ(conf.rules.at("MyRule"), mine->config());
    auto toRun = conf.rulesToRun();
    EXPECT_TRUE(std::find(toRun.begin(), toRun.end(), mine) != toRun.end());  // the same instance
    conf.rules.at("MyRule")->impact = AudImpact::serious;
    EXPECT_EQ(mine->impact(), AudImpact::serious);

    // A built-in rule's id (in any case) is refused and changes nothing.
    EXPECT_EQ(test::errorOf([&] { conf.setCustomRules({customRule(" touchTargetSize")}); }),
              "the custom rule id \" touchTargetSize\" is the id of a built-in rule; give the custom rule an id of "
              "its own");
    EXPECT_EQ(conf.customRules().size(), 1U);
    EXPECT_TRUE(contains(idsOf(conf.rulesToRun()), "TouchTargetSize"));

    conf.setCustomRules({});
    EXPECT_FALSE(conf.rules.contains("MyRule"));
    EXPECT_FALSE(contains(idsOf(conf.rulesToRun()), "MyRule"));
    EXPECT_EQ(sender->events,
              (std::vector<std::string>{R"(rule:custom {"rule_ids":["MyRule"]})", R"(rule:custom {"rule_ids":[]})"}));
}

TEST(AudConf, ViewIgnoresAndExperimentalRules) {
    AudConf conf;
    auto sender = std::make_shared<RecordingSender>();
    conf.analytics = sender;
    conf.ignoreRulesFor({{"UILabel", {"ColorContrast"}}});
    conf.ignoreRulesFor({{"loginButton", {"TouchTargetSize", "LabelInName"}}});
    EXPECT_EQ(conf.ignoredRules.size(), 1U);
    EXPECT_TRUE(conf.ignoredRules.contains("loginButton"));

    AudConf fresh;
    fresh.analytics = sender;
    fresh.ignoreExperimental();
    EXPECT_TRUE(fresh.rules.at("InaccessibleAction")->ignored);
    EXPECT_TRUE(fresh.rules.at("SupportsDynamicType")->ignored);
    EXPECT_EQ(sender->events.back(), R"(rule:ignore {"rule_ids":["SupportsDynamicType"]})");
    EXPECT_EQ(sender->events.at(1),
              R"(rule:ignore_view {"class_ids":"loginButton","rule_ids":["LabelInName","TouchTargetSize"]})");
}

TEST(AudConf, JsonReadsBothShapes) {
    AudConf conf;
    conf.ignore("ScreenTitle", true);
    const auto read = audConfFromJson(audConfToJson(conf));
    EXPECT_EQ(read->rules.size(), allCases<AudRuleId>().size());
    EXPECT_TRUE(read->rules.at("ScreenTitle")->ignored);
    EXPECT_EQ(audConfToJson(*read), audConfToJson(conf));
    EXPECT_EQ(audConfToJson(conf).at("standards"), Json::array());

    const auto fromIds = audConfFromJson(Json::parse(R"({"rules":[],"ruleIds":["LabelInName","TouchTargetSize"]})"));
    EXPECT_EQ(fromIds->rules.size(), 2U);
    EXPECT_EQ(fromIds->rules.at("TouchTargetSize")->impact, AudImpact::moderate);
    EXPECT_THROW((void)audConfFromJson(Json::parse(R"({"ruleIds":["Nope"]})")), AudEnumError);

    const auto odd =
        ruleConfFromJson(Json::parse(R"({"impact":9,"standard":"WCAG 2.1","summary":"s","ignored":true})"));
    EXPECT_EQ(odd.impact, AudImpact::critical);
    EXPECT_EQ(odd.standard, AudStandard::bestPractice);
    EXPECT_FALSE(odd.experimental);
    EXPECT_EQ(ruleConfToJson(odd).dump(),
              R"({"impact":3,"standard":"Best Practice","summary":"s","ignored":true,"experimental":false})");
}

}  // namespace
}  // namespace audkit
