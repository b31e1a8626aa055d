#include "tools/audkit/import/system_elements.hpp"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace audkit::cli {
namespace {

using Marks = std::unordered_map<const ImportedElement*, std::string>;

void markSubtree(const ImportedElement& element, const std::string& what, Marks& marks) {
    std::vector<const ImportedElement*> stack{&element};
    while (!stack.empty()) {
        const auto* node = stack.back();
        stack.pop_back();
        marks.try_emplace(node, what);
        for (const auto& child : node->children) stack.push_back(&child);
    }
}

// VoiceOver's names of the scroll indicators UIKit adds to scroll views,
// in the languages of the dumps seen so far ("Vertical scroll bar, 2 pages").
bool isScrollIndicator(const ImportedElement& element) {
    static constexpr std::array<std::string_view, 6> names{"Vertical scroll bar, ", "Horizontal scroll bar, ",
                                                           "垂直スクロールバー, ",  "水平スクロールバー, ",
                                                           "垂直滚动条, ",          "水平滚动条, "};
    if (!element.label) return false;
    if (element.type != "Other" && element.type != "ScrollBar") return false;
    return std::any_of(names.begin(), names.end(),
                       [&](std::string_view name) { return element.label->starts_with(name); });
}

bool isSpringBoard(const ImportedElement& root) {
    if (root.bundleIdentifier == "com.apple.springboard") return true;
    // Older sources name no bundle; SpringBoard's windows carry its own names.
    return std::any_of(root.children.begin(), root.children.end(), [](const ImportedElement& child) {
        return child.type == "Window" && child.identifier && child.identifier->starts_with("SBSwitcher");
    });
}

bool isSafari(const ImportedElement& root) {
    if (root.bundleIdentifier) return *root.bundleIdentifier == "com.apple.mobilesafari";
    return root.label == "Safari";
}

bool holdsWebView(const ImportedElement& element) {
    std::vector<const ImportedElement*> stack{&element};
    while (!stack.empty()) {
        const auto* node = stack.back();
        stack.pop_back();
        if (node->type == "WebView") return true;
        for (const auto& child : node->children) stack.push_back(&child);
    }
    return false;
}

// Safari's controls: everything that neither is, holds nor lies inside the
// web view (the page is the team's; the bars around it are Safari's).
void markBrowserChrome(const ImportedElement& element, Marks& marks) {
    for (const auto& child : element.children) {
        if (child.type == "WebView") continue;
        if (holdsWebView(child))
            markBrowserChrome(child, marks);
        else
            markSubtree(child, "Safari's browser controls", marks);
    }
}

}  // namespace

std::unordered_map<const ImportedElement*, std::string> systemElements(const ImportedElement& root) {
    Marks marks;
    if (isSpringBoard(root)) {
        markSubtree(root, "SpringBoard (the home screen and its system alerts)", marks);
        return marks;
    }
    std::vector<std::pair<const ImportedElement*, const ImportedElement*>> stack{{&root, nullptr}};
    while (!stack.empty()) {
        const auto [node, parent] = stack.back();
        stack.pop_back();
        if (node->type == "StatusBar") {
            markSubtree(*node, "the status bar", marks);
            continue;
        }
        if (node->type == "Keyboard") {
            markSubtree(*node, "the keyboard", marks);
            continue;
        }
        if (isScrollIndicator(*node)) {
            markSubtree(*node, "a scroll indicator", marks);  // with its thumb
            continue;
        }
        if (node->type == "Button" && node->identifier == "BackButton" && parent && parent->type == "NavigationBar")
            markSubtree(*node, "the navigation bar's standard back button", marks);
        for (const auto& child : node->children) stack.emplace_back(&child, node);
    }
    // Last, so that the status bar and the keyboard keep their own names.
    if (isSafari(root)) markBrowserChrome(root, marks);
    return marks;
}

}  // namespace audkit::cli
