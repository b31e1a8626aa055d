#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace audkit::cli {

// An accessibility dump that cannot be imported: the message names the file's
// line or element.
class ImportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One element of an accessibility dump, as the dump states it: whatever the
// format does not say stays unset and is worked out when the bundle is written.
struct ImportedElement {
    std::string type;  // the element type's name without prefix: "Button", "StaticText", ...
    std::optional<std::string> label, value, identifier, placeholderValue;
    std::optional<double> x, y, width, height;  // points
    std::optional<bool> enabled, visible, accessible;
    std::optional<std::uint64_t> traits;  // accessibility trait bits, where the dump lists traits
    std::vector<std::string> unknownTraits;  // trait names the dump lists that this version does not know
    std::optional<std::string> bundleIdentifier;  // an application's, where the dump names it
    bool selected = false;
    std::size_t line = 0;  // where the element starts in the dump
    std::vector<ImportedElement> children;

    bool hasFrame() const { return x && y && width && height; }
};

struct ImportedTree {
    std::string format;  // what the dump was read as, for messages
    ImportedElement root;
};

// Deeper trees than any screen has are refused rather than walked.
constexpr std::size_t maxImportDepth = 512;

// Reads a dump, recognising its format from its content: an Appium /
// WebDriverAgent XML page source (with or without the AppiumAUT wrapper, or
// as a <hierarchy> of <node> elements), an older UIAutomation XML source, or
// an XCTest debug description.
ImportedTree readAccessibilityDump(const std::string& text);

ImportedTree readXmlPageSource(const std::string& text);
ImportedTree readDebugDescription(const std::string& text);

}  // namespace audkit::cli
