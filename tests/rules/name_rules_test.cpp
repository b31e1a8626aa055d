#include <gtest/gtest.h>

#include "audkit/base/process_state.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/rules/rule_active_control_name.hpp"
#include "audkit/rules/rule_catalogue.hpp"
#include "audkit/rules/rule_image_view_name.hpp"
#include "audkit/tree/snapshot_capture.hpp"
#include "audkit/tree/view_tree_builder.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

using nlohmann::json;

// A screen built element by element, then judged by one rule.
class Screen {
public:
    json& add(const std::string& id, int rawType, const std::string& className, std::vector<std::string> children = {}) {
        return builder_.element(id, rawType, test::attributes(className, test::rect(0, 0, 50, 50), children));
    }
    json& element(const std::string& id, int rawType, const std::string& className, const std::string& label,
                  bool isElement = true, std::vector<std::string> children = {}) {
        auto& attributes = add(id, rawType, className, std::move(children));
        if (!label.empty()) attributes["XC_kAXXCAttributeLabel"] = label;
        attributes["XC_kAXXCAttributeIsElement"] = isElement ? 1 : 0;
        return attributes;
    }

    std::shared_ptr<AudView> build() { return test::buildViewTree(builder_); }

private:
    test::BundleBuilder builder_;
};

struct Verdict {
    AudStatus status;
    std::string message;
    bool operator==(const Verdict&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Verdict& verdict) {
    return out << toString(verdict.status) << " " << verdict.message;
}

// What the runner would record for the view with this class name.
Verdict judge(AudRuleId id, const AudView& root, const std::string& className) {
    const AudView* target = nullptr;
    visitPreOrder(root, [&](const AudView& view) {
        if (view.className != className) return RunStatus::proceed;
        target = &view;
        return RunStatus::stop;
    });
    EXPECT_NE(target, nullptr) << className;
    auto rule = makeRule(id);
    const auto props = rule->collectProps(*target);
    try {
        return {rule->runRule(*props), ""};
    } catch (const std::exception& error) {
        const bool fail = dynamic_cast<const ResultDescription*>(&error) != nullptr;
        return {fail ? AudStatus::fail : AudStatus::incomplete, error.what()};
    }
}

TEST(RuleActiveControlName, ControlsNeedANameOrAnAssociatedLabel) {
    test::LogCapture log;
    Screen screen;
    screen.add("app", 2, "UIApplication", {"bare", "row", "stepper", "alone", "picker"});
    screen.element("bare", 9, "BareButton", "");
    screen.element("row", 1, "Row", "", false, {"label", "field"});
    screen.element("label", 48, "RowLabel", "Save", false);
    screen.element("field", 49, "UnnamedField", "");
    screen.add("stepper", 79, "UIStepper", {"inc", "dec"});
    screen.element("inc", 9, "IncrementButton", "Increment");
    screen.element("dec", 9, "LowerIncrement", "increment");
    screen.element("alone", 9, "LoneIncrement", "Increment");
    screen.add("picker", 51, "UIDatePicker", {"day"});
    screen.element("day", 9, "DayButton", "");
    const auto root = screen.build();
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "BareButton"),
              (Verdict{AudStatus::fail, RuleActiveControlName::noNameMessage}));
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "UnnamedField").status, AudStatus::pass);  // labelled Save
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "IncrementButton"),
              (Verdict{AudStatus::fail, RuleActiveControlName::defaultStepperButtonNameMessage}));
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "LowerIncrement").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "LoneIncrement").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "DayButton").status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "RowLabel").status, AudStatus::inapplicable);
}

TEST(RuleActiveControlName, FocusableCellSpeaksForItsInnerControl) {
    test::LogCapture log;
    Screen screen;
    screen.add("app", 2, "UIApplication", {"table"});
    screen.add("table", 26, "UITableView", {"named", "empty"});
    screen.element("named", 75, "SwitchCell", "", true, {"switch"});
    screen.element("switch", 40, "InnerSwitch", "", false);
    screen.element("empty", 75, "EmptyCell", "Plain", true);
    const auto root = screen.build();
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "SwitchCell").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::activeControlName, *root, "EmptyCell").status, AudStatus::inapplicable);
}

TEST(RuleImageViewName, DependsOnTheHierarchy) {
    test::LogCapture log;
    Screen screen;
    screen.add("app", 2, "UIApplication", {"uikit", "hosting", "button"});
    screen.element("uikit", 43, "UIKitImage", "");
    screen.add("hosting", 1, "_UIHostingView", {"swiftui"});
    screen.element("swiftui", 43, "SwiftUIImage", "");
    screen.element("button", 9, "ImageButton", "Play", true, {"inner"});
    screen.element("inner", 43, "InnerImage", "");
    const auto root = screen.build();
    EXPECT_EQ(judge(AudRuleId::imageViewName, *root, "UIKitImage"),
              (Verdict{AudStatus::incomplete, RuleImageViewName::unableToDetermineFocusableMessage}));
    EXPECT_EQ(judge(AudRuleId::imageViewName, *root, "SwiftUIImage"),
              (Verdict{AudStatus::fail, RuleImageViewName::noNameMessage}));
    EXPECT_EQ(judge(AudRuleId::imageViewName, *root, "InnerImage").status, AudStatus::inapplicable);
}

TEST(RuleMeaningfulAccessibleName, NamesMustNotRepeatTraitWords) {
    test::LogCapture log;
    Screen screen;
    screen.add("app", 2, "UIApplication", {"a", "b", "c", "d", "e"});
    screen.element("a", 9, "PlayButton", "Play button")["XC_kAXXCAttributeTraits"] = 1;
    screen.element("b", 9, "Play", "Play")["XC_kAXXCAttributeTraits"] = 1;
    screen.element("c", 43, "Cat", "IMAGE of a cat")["XC_kAXXCAttributeTraits"] = 4;
    screen.element("d", 43, "Accented", "Imáge of a dog");
    screen.element("e", 9, "Hidden", "Play button", false)["XC_kAXXCAttributeTraits"] = 1;
    const auto root = screen.build();
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "PlayButton").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Play").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Cat").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Accented").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::meaningfulAccessibleName, *root, "Hidden").status, AudStatus::inapplicable);
}

TEST(RuleConflictingTraits, FirstConflictingGroupIsRecorded) {
    test::LogCapture log;
    Screen screen;
    screen.add("app", 2, "UIApplication", {"a", "b", "c", "d", "e"});
    screen.element("a", 9, "ButtonLink", "x")["XC_kAXXCAttributeTraits"] = 0x3;
    screen.element("b", 48, "HeaderText", "x")["XC_kAXXCAttributeTraits"] = 0x10040;
    screen.element("c", 9, "SelectedDisabled", "x")["XC_kAXXCAttributeTraits"] = 0x108;
    screen.element("d", 9, "NotFocusable", "x", false)["XC_kAXXCAttributeTraits"] = 0x3;
    screen.element("e", 9, "NoTraits", "x");
    const auto root = screen.build();
    EXPECT_EQ(judge(AudRuleId::conflictingTraits, *root, "ButtonLink").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::conflictingTraits, *root, "HeaderText").status, AudStatus::pass);
    EXPECT_EQ(judge(AudRuleId::conflictingTraits, *root, "SelectedDisabled").status, AudStatus::fail);
    EXPECT_EQ(judge(AudRuleId::conflictingTraits, *root, "NotFocusable").status, AudStatus::inapplicable);
    EXPECT_EQ(judge(AudRuleId::conflictingTraits, *root, "NoTraits").status, AudStatus::inapplicable);

    auto rule = makeRule(AudRuleId::conflictingTraits);
    const AudView* view = root->children.at(0).get();
    EXPECT_EQ(rule->collectProps(*view)->get<AudTraits>("Conflicting Traits"), AudTraits(0x3));
}

}  // namespace
}  // namespace audkit
