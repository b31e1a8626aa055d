#include <gtest/gtest.h>

#include "audkit/rules/rule_associated_text.hpp"
#include "tests/support/rule_verdicts.hpp"

namespace audkit {
namespace {

using T = AudElementType;
using R = RuleAssociatedText;

TEST(RuleAssociatedText, ControlsBesideALabelNeedANameAndTheLabelSetsTheImpact) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"form", "picker"}).frame(0, 0, 390, 844);
    screen.add("form", T::other, "Form", {"emailLabel", "email", "cityLabel", "city", "zipLabel", "zip"});
    screen.add("emailLabel", T::staticText, "EmailLabel").label("Email").focusable(false);
    screen.add("email", T::textField, "EmailField").focusable();
    screen.add("cityLabel", T::staticText, "CityLabel").label("City");
    screen.add("city", T::textField, "CityField").focusable();
    screen.add("zipLabel", T::staticText, "ZipLabel").label("Postcode");
    screen.add("zip", T::textField, "ZipField").label("Postcode");
    screen.add("picker", T::picker, "UIPickerView", {"wheelLabel", "wheel"});
    screen.add("wheelLabel", T::staticText, "WheelLabel").label("Size").focusable(false);
    screen.add("wheel", T::textField, "WheelField").focusable();

    const auto byClass = test::resultsByClass(screen, AudRuleId::associatedText);
    ASSERT_TRUE(byClass.contains("EmailField"));
    EXPECT_EQ(byClass.at("EmailField")->status, AudStatus::fail);
    EXPECT_EQ(byClass.at("EmailField")->ruleSummary, R::noNameMessage);
    EXPECT_EQ(byClass.at("EmailField")->impact, AudImpact::critical);  // the label cannot be focused
    EXPECT_EQ(byClass.at("CityField")->impact, AudImpact::serious);    // the label can
    EXPECT_EQ(byClass.at("ZipField")->status, AudStatus::pass);
    EXPECT_FALSE(byClass.contains("WheelField"));
    // A focusable control records every key but the focusable ancestor's class; the runner adds className.
    auto expected = test::declared(R::keys);
    expected.erase(std::string(R::focusableViewClassKey.name));
    expected.insert("className");
    EXPECT_EQ(test::keysOf(*byClass.at("ZipField")->props), expected);
}

}  // namespace
}  // namespace audkit
