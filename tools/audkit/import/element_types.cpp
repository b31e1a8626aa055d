#include "tools/audkit/import/element_types.hpp"

#include <array>
#include <utility>

namespace audkit::cli {
namespace {

// The framework's element types, in their numbering.
constexpr std::array<std::string_view, 83> typeNames{
    "Any",
    "Other",
    "Application",
    "Group",
    "Window",
    "Sheet",
    "Drawer",
    "Alert",
    "Dialog",
    "Button",
    "RadioButton",
    "RadioGroup",
    "CheckBox",
    "DisclosureTriangle",
    "PopUpButton",
    "ComboBox",
    "MenuButton",
    "ToolbarButton",
    "Popover",
    "Keyboard",
    "Key",
    "NavigationBar",
    "TabBar",
    "TabGroup",
    "Toolbar",
    "StatusBar",
    "Table",
    "TableRow",
    "TableColumn",
    "Outline",
    "OutlineRow",
    "Browser",
    "CollectionView",
    "Slider",
    "PageIndicator",
    "ProgressIndicator",
    "ActivityIndicator",
    "SegmentedControl",
    "Picker",
    "PickerWheel",
    "Switch",
    "Toggle",
    "Link",
    "Image",
    "Icon",
    "SearchField",
    "ScrollView",
    "ScrollBar",
    "StaticText",
    "TextField",
    "SecureTextField",
    "DatePicker",
    "TextView",
    "Menu",
    "MenuItem",
    "MenuBar",
    "MenuBarItem",
    "Map",
    "WebView",
    "IncrementArrow",
    "DecrementArrow",
    "Timeline",
    "RatingIndicator",
    "ValueIndicator",
    "SplitGroup",
    "Splitter",
    "RelevanceIndicator",
    "ColorWell",
    "HelpTag",
    "Matte",
    "DockItem",
    "Ruler",
    "RulerMarker",
    "Grid",
    "LevelIndicator",
    "Cell",
    "LayoutArea",
    "LayoutItem",
    "Handle",
    "Stepper",
    "Tab",
    "TouchBar",
    "StatusItem",
};

constexpr std::array<std::pair<std::string_view, std::string_view>, 40> uiAutomationTags{{
    {"UIAActionSheet", "Sheet"},
    {"UIAActivityIndicator", "ActivityIndicator"},
    {"UIAActivityView", "Other"},
    {"UIAAlert", "Alert"},
    {"UIAApplication", "Application"},
    {"UIAButton", "Button"},
    {"UIACollectionCell", "Cell"},
    {"UIACollectionView", "CollectionView"},
    {"UIAEditingMenu", "Menu"},
    {"UIAElement", "Other"},
    {"UIAImage", "Image"},
    {"UIAKey", "Key"},
    {"UIAKeyboard", "Keyboard"},
    {"UIALink", "Link"},
    {"UIAMapView", "Map"},
    {"UIANavigationBar", "NavigationBar"},
    {"UIAPageIndicator", "PageIndicator"},
    {"UIAPicker", "Picker"},
    {"UIAPickerWheel", "PickerWheel"},
    {"UIAPopover", "Popover"},
    {"UIAProgressIndicator", "ProgressIndicator"},
    {"UIAScrollView", "ScrollView"},
    {"UIASearchBar", "SearchField"},
    {"UIASecureTextField", "SecureTextField"},
    {"UIASegmentedControl", "SegmentedControl"},
    {"UIASlider", "Slider"},
    {"UIAStaticText", "StaticText"},
    {"UIAStatusBar", "StatusBar"},
    {"UIASwitch", "Switch"},
    {"UIATabBar", "TabBar"},
    {"UIATableCell", "Cell"},
    {"UIATableGroup", "Other"},
    {"UIATableView", "Table"},
    {"UIATextField", "TextField"},
    {"UIATextView", "TextView"},
    {"UIAToolbar", "Toolbar"},
    {"UIAWebView", "WebView"},
    {"UIAWindow", "Window"},
    {"UIAHandwritingView", "Other"},
    {"UIADatePicker", "DatePicker"},
}};

constexpr std::array<std::pair<std::string_view, std::uint64_t>, 19> traitBits{{
    {"Button", 0x1},
    {"Link", 0x2},
    {"Image", 0x4},
    {"Selected", 0x8},
    {"PlaysSound", 0x10},
    {"KeyboardKey", 0x20},
    {"StaticText", 0x40},
    {"SummaryElement", 0x80},
    {"NotEnabled", 0x100},
    {"UpdatesFrequently", 0x200},
    {"SearchField", 0x400},
    {"StartsMediaSession", 0x800},
    {"Adjustable", 0x1000},
    {"AllowsDirectInteraction", 0x2000},
    {"CausesPageTurn", 0x4000},
    {"TabBar", 0x8000},
    {"Header", 0x10000},
    {"TextEntry", 0x40000},
    // Switches and SwiftUI toggles since iOS 17: the switch-button bit.
    {"ToggleButton", 0x20000000000000},
}};

}  // namespace

std::optional<std::uint64_t> elementTypeNumber(std::string_view name) {
    for (std::size_t number = 0; number < typeNames.size(); ++number)
        if (typeNames[number] == name) return number;
    return std::nullopt;
}

std::optional<std::string_view> typeOfUIAutomationTag(std::string_view tag) {
    for (const auto& [uiaTag, type] : uiAutomationTags)
        if (uiaTag == tag) return type;
    return std::nullopt;
}

std::optional<std::uint64_t> traitBit(std::string_view name) {
    for (const auto& [traitName, bit] : traitBits)
        if (traitName == name) return bit;
    return std::nullopt;
}

}  // namespace audkit::cli
