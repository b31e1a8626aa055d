#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "audkit/base/process_state.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/tree/aud_view_json.hpp"
#include "audkit/tree/snapshot_capture.hpp"
#include "audkit/tree/view_tree_builder.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

using nlohmann::json;
using T = AudElementType;

// A capture built element by element; every element is visible, enabled and
// 10 x 10 points unless said otherwise.
class Screen {
public:
    explicit Screen(double scale = 3) { builder_.document()["device"]["scale"] = scale; }

    json& add(const std::string& id, int rawType, const std::string& className, std::vector<std::string> children = {},
              json frame = test::rect(0, 0, 10, 10)) {
        return builder_.element(id, rawType, test::attributes(className, frame, children));
    }

    std::shared_ptr<AudView> build() { return test::buildViewTree(builder_); }

private:
    test::BundleBuilder builder_;
};

const AudView* find(const AudView& root, const std::string& className) {
    const AudView* found = nullptr;
    visitPreOrder(root, [&](const AudView& view) {
        if (view.className != className) return RunStatus::proceed;
        found = &view;
        return RunStatus::stop;
    });
    EXPECT_NE(found, nullptr) << className;
    return found;
}

json& labelled(json& attributes, const std::string& label, bool isElement = true) {
    attributes["XC_kAXXCAttributeLabel"] = label;
    attributes["XC_kAXXCAttributeIsElement"] = isElement ? 1 : 0;
    return attributes;
}

TEST(AudViewBuild, RootIsRebasedAndBoundsAreScaled) {
    test::LogCapture log;
    Screen screen(3);
    screen.add("app", 2, "Root", {"child"}, test::rect(100, 200, 50, 40));
    screen.add("child", 1, "Child", {}, test::rect(10, 20, 30, 40));
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
    Screen screen;
    auto& app = screen.add("app", 2, "UIApplication", {"field"});
    app["XC_kAXXCAttributeLabel"] = "   ";
    auto& field = screen.add("field", 49, "UITextField", {}, test::rect(0, 0, 100, 100));
    field["XC_kAXXCAttributeVisibleFrame"] = test::rect(0, 50, 100, 50);
    field["XC_kAXXCAttributeValue"] = " ";
    field["XC_kAXXCAttributePlaceholderValue"] = "Email";
    field["XC_kAXXCAttributeIdentifier"] = "";
    field["XC_kAXXCAttributeCustomActions"] = {"Paste"};
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
    Screen screen;
    screen.add("app", 2, "UIApplication", {"table", "grid"});
    screen.add("table", 26, "UITableView", {"hidden", "shown"});
    screen.add("hidden", 75, "UITableViewCell", {"inside"})["XC_kAXXCAttributeIsVisible"] = 0;
    screen.add("inside", 48, "HiddenLabel");
    screen.add("shown", 75, "UITableViewCell")["XC_kAXXCAttributeTraits"] = 1;
    screen.add("grid", 32, "UICollectionView", {"gridCell"});
    screen.add("gridCell", 75, "UICollectionViewCell")["XC_kAXXCAttributeIsVisible"] = 0;
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
    Screen screen;
    screen.add("app", 2, "UIApplication", {"text", "image", "bar", "plain"});
    screen.add("text", 48, "AdjustableText")["XC_kAXXCAttributeTraits"] = 0x1000;
    screen.add("image", 43, "AdjustableImage")["XC_kAXXCAttributeTraits"] = 0x1000;
    screen.add("bar", 47, "ScrollBar")["XC_kAXXCAttributeTraits"] = 0x1000;
    screen.add("plain", 48, "Text");
    const auto root = screen.build();
    EXPECT_EQ(find(*root, "AdjustableText")->role, AudRole::control);
    EXPECT_EQ(find(*root, "AdjustableImage")->role, AudRole::image);
    EXPECT_EQ(find(*root, "AdjustableImage")->get<bool>("isActiveControl"), true);
    EXPECT_EQ(find(*root, "ScrollBar")->role, AudRole::genericElement);
    EXPECT_EQ(find(*root, "Text")->role, AudRole::textElement);
}

TEST(AudViewBuild, PickersKeepNoChildrenAndTheirChildrenAreNeverRead) {
    test::LogCapture log;
    Screen screen;
    screen.add("app", 2, "UIApplication", {"picker"});
    screen.add("picker", 38, "UIPickerView", {"wheel"});
    screen.add("wheel", 3, "UnsupportedType");  // reading it would log an error
    const auto root = screen.build();
    EXPECT_TRUE(root->children.at(0)->children.empty());
    EXPECT_TRUE(log.lines().empty());
}

TEST(AudViewFocusability, ButtonInTextFieldAndLabelInButton) {
    test::LogCapture log;
    Screen screen;
    screen.add("app", 2, "UIApplication", {"field", "button"});
    labelled(screen.add("field", 49, "UITextField", {"clear", "silent"}), "Email");
    labelled(screen.add("clear", 9, "ClearButton"), "Clear");
    labelled(screen.add("silent", 9, "SilentButton"), "Hidden", false);
    labelled(screen.add("button", 9, "UIButton", {"inner"}), "Buy");
    labelled(screen.add("inner", 48, "InnerLabel"), "Buy");
    const auto root = screen.build();
    EXPECT_TRUE(find(*root, "UITextField")->isAccessibilityFocusable);
    EXPECT_TRUE(find(*root, "ClearButton")->isAccessibilityFocusable);
    EXPECT_FALSE(find(*root, "SilentButton")->isAccessibilityFocusable);
    EXPECT_TRUE(find(*root, "UIButton")->isAccessibilityFocusable);
    EXPECT_FALSE(find(*root, "InnerLabel")->isAccessibilityFocusable);
}

TEST(AudViewFocusability, TableCellsWithTextOrOnlyControls) {
    test::LogCapture log;
    Screen screen;
    screen.add("app", 2, "UIApplication", {"table"});
    screen.add("table", 26, "UITableView", {"textCell", "switchCell", "elementCell"});
    screen.add("textCell", 75, "TextCell", {"content"});
    screen.add("content", 1, "UITableViewCellContentView", {"tableLabel"});
    labelled(screen.add("tableLabel", 48, "UITableViewLabel"), "Wi-Fi", false);
    screen.add("switchCell", 75, "SwitchCell", {"switch"});
    labelled(screen.add("switch", 40, "UISwitch"), "Airplane Mode");
    labelled(screen.add("elementCell", 75, "ElementCell", {"cellSwitch"}), "Bluetooth");
    labelled(screen.add("cellSwitch", 40, "CellSwitch"), "Bluetooth");
    const auto root = screen.build();
    EXPECT_TRUE(find(*root, "TextCell")->isAccessibilityFocusable);
    EXPECT_FALSE(find(*root, "UITableViewLabel")->isAccessibilityFocusable);
    EXPECT_FALSE(find(*root, "SwitchCell")->isAccessibilityFocusable);
    EXPECT_TRUE(find(*root, "UISwitch")->isAccessibilityFocusable);  // the cell is not, so its switch is
    EXPECT_TRUE(find(*root, "ElementCell")->isAccessibilityFocusable);
    EXPECT_FALSE(find(*root, "CellSwitch")->isAccessibilityFocusable);  // its cell is an accessibility element
}

TEST(AudView, IdsAreDigitsAndCachedAncestorQueriesAreRight) {
    test::LogCapture log;
    Screen screen;
    screen.add("app", 2, "UIApplication", {"nav", "other"});
    screen.add("nav", 21, "UINavigationBar", {"title"});
    labelled(screen.add("title", 48, "Title"), "Inbox");
    screen.add("other", 1, "Other");
    const auto root = screen.build();
    const auto* title = find(*root, "Title");
    EXPECT_FALSE(title->audViewId.empty());
    EXPECT_EQ(title->audViewId.find_first_not_of("0123456789."), std::string::npos) << title->audViewId;
    EXPECT_TRUE(title->isChildOfElementType(T::navigationBar));
    EXPECT_TRUE(title->isChildOfElementType(T::navigationBar));  // answered from the cache
    EXPECT_FALSE(find(*root, "Other")->isChildOfElementType(T::navigationBar));
    EXPECT_FALSE(find(*root, "UINavigationBar")->isChildOfElementType(T::navigationBar));
    EXPECT_TRUE(find(*root, "UINavigationBar")->isElementOrChildOfElementType(T::navigationBar));
    EXPECT_TRUE(title->isChildOfProp("isHeaderOrFooter"));
    EXPECT_TRUE(title->isStaticTextOutsideBarControl());
}

TEST(AudView, HeaderAndFooterByTypeAndByPosition) {
    test::LogCapture log;
    processState().screenRect = AudBounds(0, 1170, 0, 2532);
    Screen screen;
    screen.add("app", 2, "UIApplication", {"nav", "footer", "middle", "scroll"}, test::rect(0, 0, 390, 844));
    screen.add("nav", 21, "UINavigationBar", {"navTitle"}, test::rect(0, 300, 390, 44));
    screen.add("navTitle", 48, "NavTitle");
    screen.add("footer", 1, "Footer", {}, test::rect(0, 780, 390, 64));
    screen.add("middle", 1, "Middle", {}, test::rect(0, 300, 390, 64));
    screen.add("scroll", 46, "UIScrollView", {"inScroll"}, test::rect(0, 0, 390, 844));
    screen.add("inScroll", 1, "ScrolledFooter", {}, test::rect(0, 780, 390, 64));
    const auto root = screen.build();
    EXPECT_TRUE(find(*root, "UINavigationBar")->isHeaderOrFooter());
    EXPECT_FALSE(find(*root, "NavTitle")->isHeaderOrFooter());
    EXPECT_TRUE(find(*root, "Footer")->isHeaderOrFooter());
    EXPECT_FALSE(find(*root, "Middle")->isHeaderOrFooter());
    EXPECT_FALSE(find(*root, "ScrolledFooter")->isHeaderOrFooter());
    EXPECT_FALSE(root->isHeaderOrFooter());  // taller than half the screen
}

TEST(AudViewRelations, VisibleLabelIgnoresTextThatOnlyRepeatsTheValue) {
    test::LogCapture log;
    Screen screen;
    screen.add("app", 2, "UIApplication", {"volume", "brightness"});
    auto& volume = labelled(screen.add("volume", 33, "VolumeSlider", {"volumeText"}), "Volume");
    volume["XC_kAXXCAttributeValue"] = "50%";
    labelled(screen.add("volumeText", 48, "VolumeValue"), "50 %", false);
    auto& brightness = labelled(screen.add("brightness", 33, "BrightnessSlider", {"brightnessText"}), "Brightness");
    brightness["XC_kAXXCAttributeValue"] = "50%";
    labelled(screen.add("brightnessText", 48, "BrightnessLabel"), "Volume 50%", false);
    const auto root = screen.build();
    EXPECT_EQ(find(*root, "VolumeSlider")->visibleLabelInChildElement(), nullptr);
    const auto label = find(*root, "BrightnessSlider")->visibleLabelInChildElement();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->className, "BrightnessLabel");
}

TEST(AudViewRelations, AssociatedTextIsTheLastStaticTextBeforeTheControl) {
    test::LogCapture log;
    Screen screen;
    screen.add("app", 2, "UIApplication", {"row"});
    labelled(screen.add("row", 1, "Row", {"wifi", "network", "switch", "after"}), "Row");
    labelled(screen.add("wifi", 48, "WiFi"), "Wi-Fi", false);
    labelled(screen.add("network", 48, "Network"), "Network", false);
    labelled(screen.add("switch", 40, "UISwitch"), "Wi-Fi", false);
    labelled(screen.add("after", 48, "After"), "Later", false);
    const auto root = screen.build();
    EXPECT_TRUE(find(*root, "Row")->isAccessibilityFocusable);
    const auto text = find(*root, "UISwitch")->associatedTextForControl();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "Network");
    EXPECT_EQ(find(*root, "WiFi")->associatedTextForControl(), nullptr);  // not a control
}

TEST(AudViewRelations, TextOfSubtreeAndExpectedValue) {
    test::LogCapture log;
    Screen screen;
    screen.add("app", 2, "UIApplication", {"card"});
    labelled(screen.add("card", 1, "Card", {"title", "field", "price"}), "Card");
    labelled(screen.add("title", 48, "Title"), "Shoes", false);
    labelled(screen.add("field", 49, "UITextField", {"fieldText"}), "Quantity", false);
    labelled(screen.add("fieldText", 48, "Inside"), "1", false);
    auto& price = labelled(screen.add("price", 48, "Price"), "$40", false);
    price["XC_kAXXCAttributeValue"] = "40 dollars";
    const auto root = screen.build();
    const auto* card = find(*root, "Card");
    EXPECT_EQ(card->textOfSelfAndDescendants(), (std::vector<std::string>{"Shoes", "$40"}));
    EXPECT_EQ(card->expectedValue(), "40 dollars");
    EXPECT_FALSE(find(*root, "Title")->expectedValue().has_value());  // not focusable
}

TEST(AudViewJson, RoundTripGivesIdenticalJson) {
    test::LogCapture log;
    processState().screenRect = AudBounds(0, 1170, 0, 2532);
    BundlePlatform platform(CaptureBundle::open(test::sourceDir() / "examples" / "sign-in"));
    const auto element = makeRootElement(platform.snapshotSource(), *platform.elementUnderTest());
    const auto tree = buildTree(platform.snapshotSource(), *element);
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
    Screen screen;
    for (int i = 0; i < depth; ++i) {
        const std::string id = i == 0 ? "app" : "v" + std::to_string(i);
        std::vector<std::string> children;
        if (i + 1 < depth) children.push_back("v" + std::to_string(i + 1));
        labelled(screen.add(id, i == 0 ? 2 : 9, "Level", children), "Level", i % 2 == 0);
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
