#include <gtest/gtest.h>

#include "audkit/base/process_state.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/tree/aud_element.hpp"
#include "audkit/tree/snapshot_capture.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

using T = AudElementType;

AttributeDictionary dictionary(std::initializer_list<std::pair<const char*, AttributeValue>> entries) {
    AttributeDictionary attributes;
    for (const auto& [key, value] : entries) attributes.emplace(std::string("XC_kAXXCAttribute") + key, value);
    return attributes;
}

AudElement element(const AttributeDictionary& attributes, std::uint64_t rawType) {
    return AudElement::make(attributes, rawType, nullptr);
}

TEST(AudElement, FallbacksForMissingAndMistypedAttributes) {
    test::LogCapture log;
    const auto missing = element({}, 9);
    EXPECT_EQ(missing.className, "Unknown");
    EXPECT_EQ(missing.elementType, T::button);
    EXPECT_EQ(missing.frame, PlatformRect{});
    EXPECT_FALSE(missing.isVisible);
    EXPECT_FALSE(missing.label.has_value());

    const auto mistyped = element(dictionary({{"ElementType", std::uint64_t{4}},
                                              {"Label", std::int64_t{5}},
                                              {"Traits", -1.0},
                                              {"IsVisible", std::string("1")},
                                              {"Frame", OtherValue{}},
                                              {"Children", ValueList{2}}}),
                                  48);
    EXPECT_EQ(mistyped.className, "Unknown");
    EXPECT_FALSE(mistyped.label.has_value());
    EXPECT_EQ(mistyped.traits, 0U);
    EXPECT_FALSE(mistyped.isVisible);
    EXPECT_TRUE(mistyped.children.empty());
    EXPECT_TRUE(log.lines().empty()) << "tolerant reads report nothing";
}

TEST(AudElement, ClassNameOverridesAndUnsupportedRawTypes) {
    test::LogCapture log;
    EXPECT_EQ(element(dictionary({{"ElementType", std::string("_UITableCellAccessoryButton")}}), 9).elementType,
              T::image);
    EXPECT_EQ(element(dictionary({{"ElementType", std::string("UISearchBar")}}), 1).elementType, T::searchField);
    EXPECT_EQ(element({}, 3).elementType, T::any);
    // The log names the element, so the capture can be checked.
    EXPECT_EQ(element(dictionary({{"ElementType", std::string("MyBadge")},
                                  {"Identifier", std::string("badge")},
                                  {"Label", std::string(100, 'x')}}),
                      999)
                  .elementType,
              T::any);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "ZUNIK ERROR: RawValue 3 not supported. Element: Unknown.",
                               "ZUNIK ERROR: RawValue 999 not supported. Element: MyBadge, identifier \"badge\", "
                               "label \"" + std::string(80, 'x') + "...\"."}));
}

TEST(AudElement, KeyboardDockIsNeverAnAccessibilityElement) {
    EXPECT_TRUE(element(dictionary({{"IsElement", std::int64_t{1}}}), 1).isAccessibilityElement);
    EXPECT_FALSE(element(dictionary({{"ElementType", std::string("UIKeyboardDockView")}, {"IsElement", true}}), 1)
                     .isAccessibilityElement);
}

TEST(AudElement, CustomActionsCountOnlyWhenTheListHasItems) {
    EXPECT_FALSE(element(dictionary({{"CustomActions", ValueList{0}}}), 9).hasCustomA11yActions);
    EXPECT_FALSE(element(dictionary({{"CustomActions", std::string("Delete")}}), 9).hasCustomA11yActions);
    EXPECT_TRUE(element(dictionary({{"CustomActions", ValueList{1}}}), 9).hasCustomA11yActions);
}

TEST(AudElement, TextFieldStateAndText) {
    const auto placeholderOnly = element(
        dictionary({{"IsUserInteractionEnabled", std::int64_t{1}}, {"PlaceholderValue", std::string("Email")}}), 49);
    EXPECT_EQ(placeholderOnly.text(), "Email");
    EXPECT_EQ(placeholderOnly.state(), "enabled");

    const auto empty = element(dictionary({{"IsUserInteractionEnabled", std::int64_t{1}}}), 49);
    EXPECT_EQ(empty.state(), "enabled, empty");
    EXPECT_FALSE(empty.text().has_value());

    const auto sameAsPlaceholder = element(dictionary({{"Value", std::string("Email")},
                                                       {"PlaceholderValue", std::string("Email")},
                                                       {"Traits", std::uint64_t{0x8}}}),
                                           50);
    EXPECT_EQ(sameAsPlaceholder.state(), "dimmed, selected, empty");

    const auto emptyValue =
        element(dictionary({{"Value", std::string("")}, {"PlaceholderValue", std::string("Name")}}), 52);
    EXPECT_EQ(emptyValue.text(), "Name");
}

TEST(AudElement, StateOfAdjustableElementsAndPlainViews) {
    const auto adjustable = element(dictionary({{"Traits", std::uint64_t{0x1000}}}), 1);
    EXPECT_EQ(adjustable.state(), "dimmed");
    const auto scrollBar = element(dictionary({{"Traits", std::uint64_t{0x1000}}}), 47);
    EXPECT_FALSE(scrollBar.state().has_value());
    EXPECT_FALSE(element({}, 48).state().has_value());
}

TEST(AudElement, NamesTrimTheLabelAndIgnoreBlankOnes) {
    EXPECT_EQ(element(dictionary({{"Label", std::string("  Sign in\n")}}), 9).name, "Sign in");
    EXPECT_FALSE(element(dictionary({{"Label", std::string(" \t\u2003")}}), 9).name.has_value());
    EXPECT_FALSE(
        element(dictionary({{"Label", std::string("Search")}, {"PlaceholderValue", std::string("Search")}}), 45)
            .name.has_value());
    EXPECT_FALSE(element({}, 45).name.has_value());
    EXPECT_EQ(
        element(dictionary({{"Label", std::string("Find")}, {"PlaceholderValue", std::string("Search")}}), 45).name,
        "Find");
}

TEST(AudElement, StaticTextKeepsItsLabelUnchanged) {
    EXPECT_EQ(element(dictionary({{"Label", std::string(" Total ")}}), 48).text(), " Total ");
    EXPECT_FALSE(element(dictionary({{"Label", std::string("  ")}}), 48).text().has_value());
    EXPECT_FALSE(element(dictionary({{"Label", std::string("Go")}}), 9).text().has_value());
}

TEST(AudElement, OffScreenAmount) {
    EXPECT_EQ(element(dictionary({{"Frame", PlatformRect{0, 0, 0, 50}}}), 1).offScreenAmount(), 0);
    EXPECT_FLOAT_EQ(
        element(dictionary({{"Frame", PlatformRect{0, 0, 100, 100}}, {"VisibleFrame", PlatformRect{0, 75, 100, 25}}}),
                1)
            .offScreenAmount(),
        0.75F);
}

TEST(AudElement, CopiesTheKeyboardFlag) {
    test::LogCapture log;
    processState().keyboardOnScreen = true;
    EXPECT_TRUE(element({}, 1).keyboardOnScreen);
}

TEST(AudElement, UnlabelledTableCellIsNamedAfterItsAccessibleStaticTexts) {
    test::LogCapture log;
    test::BundleBuilder builder;
    builder.element("app", 2, test::attributes("UIApplication", test::rect(0, 0, 390, 844), {"cell"}));
    builder.element("cell", 75,
                    test::attributes("UITableViewCellAccessibilityElement", test::rect(0, 100, 390, 44),
                                     {"title", "hidden", "detail", "button", "blank"}));
    auto& title = builder.element("title", 48, test::attributes("UILabel", test::rect(16, 100, 100, 44)));
    title["XC_kAXXCAttributeIsElement"] = 1;
    title["XC_kAXXCAttributeLabel"] = "Title";
    auto& hidden = builder.element("hidden", 48, test::attributes("UILabel", test::rect(16, 100, 100, 44)));
    hidden["XC_kAXXCAttributeLabel"] = "Not an element";
    auto& detail = builder.element("detail", 48, test::attributes("UILabel", test::rect(200, 100, 100, 44)));
    detail["XC_kAXXCAttributeIsElement"] = 1;
    detail["XC_kAXXCAttributeLabel"] = "Detail";
    auto& button = builder.element("button", 9, test::attributes("UIButton", test::rect(300, 100, 40, 44)));
    button["XC_kAXXCAttributeIsElement"] = 1;
    button["XC_kAXXCAttributeLabel"] = "Info";
    auto& blank = builder.element("blank", 48, test::attributes("UILabel", test::rect(0, 0, 1, 1)));
    blank["XC_kAXXCAttributeIsElement"] = 1;
    blank["XC_kAXXCAttributeLabel"] = "  ";

    BundlePlatform platform(CaptureBundle::fromText(builder.document().dump(), "memory/capture.json"));
    const auto cell = makeChildElement(platform.snapshotSource(), {"cell"});
    ASSERT_TRUE(cell.has_value());
    EXPECT_EQ(cell->name, "Title Detail");
}

}  // namespace
}  // namespace audkit
