#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "audkit/base/process_state.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/tree/aud_view_json.hpp"
#include "audkit/tree/snapshot_capture.hpp"
#include "audkit/tree/view_tree_builder.hpp"
#include "tests/support/screen_builder.hpp"

namespace audkit {
namespace {

using nlohmann::json;
using T = AudElementType;

TEST(AudViewBuild, RootIsRebasedAndBoundsAreScaled) {
    test::LogCapture log;
    test::ScreenBuilder screen(3);
    screen.add("app", T::application, "Root", {"child"}).frame(100, 200, 50, 40);
    screen.add("child", T::other, "Child").frame(10, 20, 30, 40);
    const auto root = screen.build();
    ASSERT_TRUE(root);
    EXPECT_EQ(root->get<AudRect>("frame"), AudRect(0, 50, 0, 40));
    EXPECT_EQ(root->boundsInScreen, AudBounds(0, 150, 0, 120));
    const auto& child = *root->children.at(0);
    EXPECT_EQ(child.boundsInScreen, AudBounds(30, 120, 60, 180));
    EXPECT_EQ(child.get<AudRect>("frame"), AudRect(10, 40, 20, 60));
    EXPECT_EQ(child.get<AudBounds>("accessibilityPath"), AudBounds(30, 120, 60, 180));
    EXPECT_EQ(child.parent, root.get());
}

TEST(AudViewBuild, RecordsTheThirteenProperties) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    auto app = screen.add("app", T::application, "UIApplication", {"field"});
    app.set(AccessibilityAttribute::label, "   ");
    auto field = screen.add("field", T::textField, "UITextField").frame(0, 0, 100, 100);
    field.set(AccessibilityAttribute::visibleFrame, test::rect(0, 50, 100, 50));
    field.set(AccessibilityAttribute::value, " ");
    field.set(AccessibilityAttribute::placeholderValue, "Email");
    field.set(AccessibilityAttribute::identifier, "");
    field.set(AccessibilityAttribute::customActions, {"Paste"});
    const auto root = screen.build();
    EXPECT_FALSE(root->props->contains("label"));  // blank labels are not recorded
    const auto& view = *root->children.at(0);
    EXPECT_EQ(view.get<std::string>("text"), " ");
    EXPECT_FALSE(view.value.has_value());
    EXPECT_FALSE(view.accessibilityIdentifier.has_value());
    EXPECT_EQ(view.get<ElementOffScreen>("elementOffScreen")->offScreenAmount, 0.5F);
    EXPECT_EQ(view.get<PlatformRect>("visibleFrameXCTest"), (PlatformRect{0, 50, 100, 50}));
    EXPECT_EQ(view.get<bool>("hasCustomA11yActions"), true);
    EXPECT_EQ(view.get<bool>("isActiveControl"), true);
    std::vector<std::string> keys;
    for (const auto& entry : view.props->entries()) keys.push_back(entry.first);
    EXPECT_EQ(keys, (std::vector<std::string>{"isEnabled", "frame", "isActiveControl", "text", "isAccessibilityElement",
                                              "accessibilityTraits", "accessibilityPath", "elementOffScreen",
                                              "keyboardOnScreen", "visibleFrameXCTest", "hasCustomA11yActions",
                                              "isHeaderOrFooter"}));
}

TEST(AudViewBuild, TableCellsAreCorrectedOrDropped) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"table", "grid"});
    screen.add("table", T::table, "UITableView", {"hidden", "shown"});
    screen.add("hidden", T::cell, "UITableViewCell", {"inside"}).hidden();
    screen.add("inside", T::staticText, "HiddenLabel");
    screen.add("shown", T::cell, "UITableViewCell").traits(AudTraits(1));
    screen.add("grid", T::collectionView, "UICollectionView", {"gridCell"});
    screen.add("gridCell", T::cell, "UICollectionViewCell").hidden();
    const auto root = screen.build();
    const auto& table = *root->children.at(0);
    ASSERT_EQ(table.children.size(), 1U);
    const auto& shown = *table.children.at(0);
    EXPECT_EQ(shown.role, AudRole::control);
    EXPECT_EQ(shown.get<AudTraits>("accessibilityTraits"), AudTraits({AudTraits::button, AudTraits::staticText}));
    EXPECT_EQ(shown.get<bool>("isActiveControl"), true);
    EXPECT_EQ(root->children.at(1)->children.size(), 1U);  // kept below a collection view
}

TEST(AudViewBuild, RolesFollowTypesAndTheAdjustableTrait) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"text", "image", "bar", "plain"});
    screen.add("text", T::staticText, "AdjustableText").traits(AudTraits(0x1000));
    screen.add("image", T::image, "AdjustableImage").traits(AudTraits(0x1000));
    screen.add("bar", T::scrollBar, "ScrollBar").traits(AudTraits(0x1000));
    screen.add("plain", T::staticText, "Text");
    const auto root = screen.build();
    EXPECT_EQ(test::findView(*root, "AdjustableText").role, AudRole::control);
    EXPECT_EQ(test::findView(*root, "AdjustableImage").role, AudRole::image);
    EXPECT_EQ(test::findView(*root, "AdjustableImage").get<bool>("isActiveControl"), true);
    EXPECT_EQ(test::findView(*root, "ScrollBar").role, AudRole::genericElement);
    EXPECT_EQ(test::findView(*root, "Text").role, AudRole::textElement);
}

TEST(AudViewBuild, PickersKeepNoChildrenAndTheirChildrenAreNeverRead) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"picker"});
    screen.add("picker", T::picker, "UIPickerView", {"wheel"});
    screen.add("wheel", static_cast<AudElementType>(3), "UnsupportedType");  // reading it would log an error
    const auto root = screen.build();
    EXPECT_TRUE(root->children.at(0)->children.empty());
    EXPECT_TRUE(log.lines().empty());
}

TEST(AudViewFocusability, ButtonInTextFieldAndLabelInButton) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"field", "button"});
    screen.add("field", T::textField, "UITextField", {"clear", "silent"}).label("Email");
    screen.add("clear", T::button, "ClearButton").label("Clear");
    screen.add("silent", T::button, "SilentButton").label("Hidden").focusable(false);
    screen.add("button", T::button, "UIButton", {"inner"}).label("Buy");
    screen.add("inner", T::staticText, "InnerLabel").label("Buy");
    const auto root = screen.build();
    EXPECT_TRUE(test::findView(*root, "UITextField").isAccessibilityFocusable);
    EXPECT_TRUE(test::findView(*root, "ClearButton").isAccessibilityFocusable);
    EXPECT_FALSE(test::findView(*root, "SilentButton").isAccessibilityFocusable);
    EXPECT_TRUE(test::findView(*root, "UIButton").isAccessibilityFocusable);
    EXPECT_FALSE(test::findView(*root, "InnerLabel").isAccessibilityFocusable);
}

TEST(AudViewFocusability, TableCellsWithTextOrOnlyControls) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"table"});
    screen.add("table", T::table, "UITableView", {"textCell", "switchCell", "elementCell"});
    screen.add("textCell", T::cell, "TextCell", {"content"});
    screen.add("content", T::other, "UITableViewCellContentView", {"tableLabel"});
    screen.add("tableLabel", T::staticText, "UITableViewLabel").label("Wi-Fi").focusable(false);
    screen.add("switchCell", T::cell, "SwitchCell", {"switch"});
    screen.add("switch", T::switch_, "UISwitch").label("Airplane Mode");
    screen.add("elementCell", T::cell, "ElementCell", {"cellSwitch"}).label("Bluetooth");
    screen.add("cellSwitch", T::switch_, "CellSwitch").label("Bluetooth");
    const auto root = screen.build();
    EXPECT_TRUE(test::findView(*root, "TextCell").isAccessibilityFocusable);
    EXPECT_FALSE(test::findView(*root, "UITableViewLabel").isAccessibilityFocusable);
    EXPECT_FALSE(test::findView(*root, "SwitchCell").isAccessibilityFocusable);
    EXPECT_TRUE(test::findView(*root, "UISwitch").isAccessibilityFocusable);  // the cell is not, so its switch is
    EXPECT_TRUE(test::findView(*root, "ElementCell").isAccessibilityFocusable);
    EXPECT_FALSE(test::findView(*root, "CellSwitch").isAccessibilityFocusable);  // its cell is an accessibility element
}

TEST(AudView, IdsAreDigitsAndCachedAncestorQueriesAreRight) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"nav", "other"});
    screen.add("nav", T::navigationBar, "UINavigationBar", {"title"});
    screen.add("title", T::staticText, "Title").label("Inbox");
    screen.add("other", T::other, "Other");
    const auto root = screen.build();
    const auto* title = &test::findView(*root, "Title");
    EXPECT_FALSE(title->audViewId.empty());
    EXPECT_EQ(title->audViewId.find_first_not_of("0123456789."), std::string::npos) << title->audViewId;
    EXPECT_TRUE(title->isChildOfElementType(T::navigationBar));
    EXPECT_TRUE(title->isChildOfElementType(T::navigationBar));  // answered from the cache
    EXPECT_FALSE(test::findView(*root, "Other").isChildOfElementType(T::navigationBar));
    EXPECT_FALSE(test::findView(*root, "UINavigationBar").isChildOfElementType(T::navigationBar));
    EXPECT_TRUE(test::findView(*root, "UINavigationBar").isElementOrChildOfElementType(T::navigationBar));
    EXPECT_TRUE(title->isChildOfProp("isHeaderOrFooter"));
    EXPECT_TRUE(title->isStaticTextOutsideBarControl());
}

TEST(AudView, HeaderAndFooterByTypeAndByPosition) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"nav", "footer", "middle", "scroll"}).frame(0, 0, 390, 844);
    screen.add("nav", T::navigationBar, "UINavigationBar", {"navTitle"}).frame(0, 300, 390, 44);
    screen.add("navTitle", T::staticText, "NavTitle");
    screen.add("footer", T::other, "Footer").frame(0, 780, 390, 64);
    screen.add("middle", T::other, "Middle").frame(0, 300, 390, 64);
    screen.add("scroll", T::scrollView, "UIScrollView", {"inScroll"}).frame(0, 0, 390, 844);
    screen.add("inScroll", T::other, "ScrolledFooter").frame(0, 780, 390, 64);
    const auto root = screen.build(AudBounds(0, 1170, 0, 2532));
    EXPECT_TRUE(test::findView(*root, "UINavigationBar").isHeaderOrFooter());
    EXPECT_FALSE(test::findView(*root, "NavTitle").isHeaderOrFooter());
    EXPECT_TRUE(test::findView(*root, "Footer").isHeaderOrFooter());
    EXPECT_FALSE(test::findView(*root, "Middle").isHeaderOrFooter());
    EXPECT_FALSE(test::findView(*root, "ScrolledFooter").isHeaderOrFooter());
    EXPECT_FALSE(root->isHeaderOrFooter());  // taller than half the screen
}

TEST(AudViewRelations, VisibleLabelIgnoresTextThatOnlyRepeatsTheValue) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"volume", "brightness"});
    auto volume = screen.add("volume", T::slider, "VolumeSlider", {"volumeText"}).label("Volume");
    volume.set(AccessibilityAttribute::value, "50%");
    screen.add("volumeText", T::staticText, "VolumeValue").label("50 %").focusable(false);
    auto brightness = screen.add("brightness", T::slider, "BrightnessSlider", {"brightnessText"}).label("Brightness");
    brightness.set(AccessibilityAttribute::value, "50%");
    screen.add("brightnessText", T::staticText, "BrightnessLabel").label("Volume 50%").focusable(false);
    const auto root = screen.build();
    EXPECT_EQ(test::findView(*root, "VolumeSlider").visibleLabelInChildElement(), nullptr);
    const auto label = test::findView(*root, "BrightnessSlider").visibleLabelInChildElement();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->className, "BrightnessLabel");
}

TEST(AudViewRelations, AssociatedTextIsTheLastStaticTextBeforeTheControl) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"row"});
    screen.add("row", T::other, "Row", {"wifi", "network", "switch", "after"}).label("Row");
    screen.add("wifi", T::staticText, "WiFi").label("Wi-Fi").focusable(false);
    screen.add("network", T::staticText, "Network").label("Network").focusable(false);
    screen.add("switch", T::switch_, "UISwitch").label("Wi-Fi").focusable(false);
    screen.add("after", T::staticText, "After").label("Later").focusable(false);
    const auto root = screen.build();
    EXPECT_TRUE(test::findView(*root, "Row").isAccessibilityFocusable);
    const auto text = test::findView(*root, "UISwitch").associatedTextForControl();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "Network");
    EXPECT_EQ(test::findView(*root, "WiFi").associatedTextForControl(), nullptr);  // not a control
}

TEST(AudViewRelations, TextOfSubtreeAndExpectedValue) {
    test::LogCapture log;
    test::ScreenBuilder screen;
    screen.add("app", T::application, "UIApplication", {"card"});
    screen.add("card", T::other, "Card", {"title", "field", "price"}).label("Card");
    screen.add("title", T::staticText, "Title").label("Shoes").focusable(false);
    screen.add("field", T::textField, "UITextField", {"fieldText"}).label("Quantity").focusable(false);
    screen.add("fieldText", T::staticText, "Inside").label("1").focusable(false);
    auto price = screen.add("price", T::staticText, "Price").label("$40").focusable(false);
    price.set(AccessibilityAttribute::value, "40 dollars");
    const auto root = screen.build();
    const auto* card = &test::findView(*root, "Card");
    EXPECT_EQ(card->textOfSelfAndDescendants(), (std::vector<std::string>{"Shoes", "$40"}));
    EXPECT_EQ(card->expectedValue(), "40 dollars");
    EXPECT_FALSE(test::findView(*root, "Title").expectedValue().has_value());  // not focusable
}

TEST(AudViewJson, RoundTripGivesIdenticalJson) {
    test::LogCapture log;
    BundlePlatform platform(CaptureBundle::open(test::sourceDir() / "examples" / "sign-in"));
    const auto element = makeRootElement(platform.snapshotSource(), *platform.elementUnderTest());
    const auto tree = buildTree(platform.snapshotSource(), *element, AudBounds(0, 1170, 0, 2532));
    tree->children.at(0)->detectedText = "Welcome back";
    const auto written = viewToJson(*tree);
    const auto read = viewFromJson(written);
    EXPECT_EQ(viewToJson(*read).dump(), written.dump());
    EXPECT_EQ(*read, *tree);
    EXPECT_EQ(read->children.at(0)->parent, read.get());
    EXPECT_EQ(read->children.at(0)->detectedText, "Welcome back");
}

TEST(AudViewJson, ReadingNeedsTheFixedMembers) {
    test::LogCapture log;
    const auto view = json::parse(R"({"className":"UIButton","audViewId":"1","inheritedType":"button",
        "boundsInScreen":{"left":0,"right":1,"top":0,"bottom":1},"isAccessibilityFocusable":true,"children":[],
        "isEnabled":true,"calculatedProps":{"role":"control"}})");
    const auto read = viewFromJson(view);
    EXPECT_EQ(read->elementType, T::button);
    EXPECT_EQ(read->get<std::string>("inheritedType"), "button");
    EXPECT_FALSE(read->isVisibleToUser);

    auto noCalculated = view;
    noCalculated.erase("calculatedProps");
    EXPECT_THROW((void)viewFromJson(noCalculated), nlohmann::json::exception);
    auto badRole = view;
    badRole["calculatedProps"]["role"] = "button";
    EXPECT_THROW((void)viewFromJson(badRole), AudEnumError);
    auto badType = view;
    badType["inheritedType"] = "spinner";
    EXPECT_THROW((void)viewFromJson(badType), AudEnumError);
    auto badProp = view;
    badProp["weird"] = nullptr;
    try {
        (void)viewFromJson(badProp);
        FAIL();
    } catch (const AudViewError& error) {
        EXPECT_EQ(std::string(error.what()), "Could not decode property weird. Skipping property.");
    }
}

TEST(AudViewDepth, HundredThousandLevelsBuildWalkAndDropWithoutRecursion) {
    test::LogCapture log;
    constexpr int depth = 100000;
    test::ScreenBuilder screen;
    for (int i = 0; i < depth; ++i) {
        const std::string id = i == 0 ? "app" : "v" + std::to_string(i);
        std::vector<std::string> children;
        if (i + 1 < depth) children.push_back("v" + std::to_string(i + 1));
        screen.add(id, i == 0 ? T::application : T::button, "Level", children).label("Level").focusable(i % 2 == 0);
    }
    const auto root = screen.build();
    std::size_t count = 0;
    const AudView* deepest = root.get();
    root->runOnSelfAndDescendants([&](const AudView& view) {
        ++count;
        deepest = &view;
        return RunStatus::proceed;
    });
    EXPECT_EQ(count, static_cast<std::size_t>(depth));
    EXPECT_TRUE(deepest->isChildOfElementType(T::application));
    EXPECT_EQ(deepest->viewHierarchy(), AudViewHierarchy::uiKit);
    EXPECT_EQ(root->textOfSelfAndDescendants().size(), 0U);
    EXPECT_THROW((void)viewToJson(*root), AudViewError);
}

}  // namespace
}  // namespace audkit

namespace audkit {
namespace {

TEST(AudViewLifetime, AViewKeptAfterItsTreeIsReleasedHasNoParent) {
    test::ScreenBuilder screen;
    screen.add("app", AudElementType::application, "UIApplication", {"table"}).frame(0, 0, 390, 844);
    screen.add("table", AudElementType::table, "UITableView", {"cell"});
    screen.add("cell", AudElementType::cell, "UITableViewCell", {"label"});
    screen.add("label", AudElementType::staticText, "UILabel").label("Total");
    auto root = screen.build();
    const auto label = test::findView(*root, "UILabel").shared_from_this();
    EXPECT_TRUE(label->isChildOfElementType(AudElementType::table));
    root.reset();  // the tree goes; the label stays
    EXPECT_EQ(label->parent, nullptr);
    processState().clearMembershipCaches();
    EXPECT_FALSE(label->isChildOfElementType(AudElementType::cell));  // walks up, reads nothing freed
    EXPECT_EQ(label->name, "Total");
}

}  // namespace
}  // namespace audkit
