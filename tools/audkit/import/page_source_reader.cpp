#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <pugixml.hpp>
#include <string_view>
#include <vector>

#include "tools/audkit/import/element_types.hpp"
#include "tools/audkit/import/imported_tree.hpp"

// XML page sources: WebDriverAgent's (tag = element type), the same written as
// a <hierarchy> of <node type=...> elements, and the older UIAutomation ones
// (tag = UIA* role).
namespace audkit::cli {
namespace {

constexpr std::string_view xcuiPrefix = "XCUIElementType";

enum class Dialect { webDriverAgent, nodes, uiAutomation };

class XmlReader {
public:
    XmlReader(const std::string& text, Dialect dialect) : dialect_(dialect) {
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n') lineEnds_.push_back(static_cast<std::ptrdiff_t>(i));
    }

    // The 1-based line of a byte offset.
    std::size_t lineOf(std::ptrdiff_t offset) const {
        return static_cast<std::size_t>(std::lower_bound(lineEnds_.begin(), lineEnds_.end(), offset) -
                                        lineEnds_.begin()) +
               1;
    }

    ImportedElement element(const pugi::xml_node& node, std::size_t depth) const {
        const auto line = lineOf(node.offset_debug());
        if (depth > maxImportDepth)
            throw ImportError("line " + std::to_string(line) + ": elements are nested more than " +
                              std::to_string(maxImportDepth) + " deep");
        ImportedElement element;
        element.line = line;
        element.type = typeOf(node, line);
        element.label = text(node, "label");
        element.value = text(node, "value");
        element.placeholderValue = text(node, "placeholderValue");
        // "name" is the identifier when one is set, else the label again.
        if (auto name = text(node, "name"); name && name != element.label) element.identifier = std::move(name);
        element.x = number(node, "x", line);
        element.y = number(node, "y", line);
        element.width = number(node, "width", line);
        element.height = number(node, "height", line);
        element.enabled = flag(node, "enabled", line);
        element.visible = flag(node, "visible", line);
        element.accessible = flag(node, "accessible", line);
        if (const auto traits = node.attribute("traits")) element.traits = traitBits(traits.value(), element);
        element.bundleIdentifier = text(node, "bundleId");
        for (const auto& child : node.children())
            if (child.type() == pugi::node_element) element.children.push_back(this->element(child, depth + 1));
        return element;
    }

private:
    std::string typeOf(const pugi::xml_node& node, std::size_t line) const {
        const std::string_view tag = node.name();
        if (dialect_ == Dialect::uiAutomation) {
            if (const auto type = typeOfUIAutomationTag(tag)) return std::string(*type);
            throw ImportError("line " + std::to_string(line) + ": <" + std::string(tag) +
                              "> is no UIAutomation element type");
        }
        if (dialect_ == Dialect::nodes && tag != "node")
            throw ImportError("line " + std::to_string(line) + ": <" + std::string(tag) +
                              "> where <node> was expected");
        // The "type" attribute, else the tag, names the type.
        std::string_view type = node.attribute("type") ? node.attribute("type").value() : tag;
        if (!type.starts_with(xcuiPrefix) || !elementTypeNumber(type.substr(xcuiPrefix.size())))
            throw ImportError("line " + std::to_string(line) + ": \"" + std::string(type) + "\" is no XCUIElementType");
        return std::string(type.substr(xcuiPrefix.size()));
    }

    static std::optional<std::string> text(const pugi::xml_node& node, const char* name) {
        const auto attribute = node.attribute(name);
        if (!attribute || *attribute.value() == '\0') return std::nullopt;
        return std::string(attribute.value());
    }

    static std::optional<double> number(const pugi::xml_node& node, const char* name, std::size_t line) {
        const auto attribute = node.attribute(name);
        if (!attribute || *attribute.value() == '\0') return std::nullopt;
        char* end = nullptr;
        errno = 0;
        const double value = std::strtod(attribute.value(), &end);
        if (*end != '\0' || errno != 0 || !std::isfinite(value))
            throw ImportError("line " + std::to_string(line) + ": " + name + "=\"" + attribute.value() +
                              "\" is not a number");
        return value;
    }

    static std::optional<bool> flag(const pugi::xml_node& node, const char* name, std::size_t line) {
        const auto attribute = node.attribute(name);
        if (!attribute) return std::nullopt;
        const std::string_view value = attribute.value();
        if (value == "true" || value == "1") return true;
        if (value == "false" || value == "0") return false;
        throw ImportError("line " + std::to_string(line) + ": " + name + "=\"" + std::string(value) +
                          "\" is neither true nor false");
    }

    // "StaticText, Button" -> the bits; "" is no trait. A name a newer system
    // introduced is kept aside (and reported), not a reason to refuse the dump.
    static std::uint64_t traitBits(std::string_view names, ImportedElement& element) {
        std::uint64_t bits = 0;
        std::size_t start = 0;
        while (start < names.size()) {
            auto end = names.find(',', start);
            if (end == std::string_view::npos) end = names.size();
            auto name = names.substr(start, end - start);
            while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
            while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
            if (!name.empty()) {
                if (const auto bit = traitBit(name))
                    bits |= *bit;
                else
                    element.unknownTraits.emplace_back(name);
            }
            start = end + 1;
        }
        return bits;
    }

    std::vector<std::ptrdiff_t> lineEnds_;
    Dialect dialect_;
};

}  // namespace

ImportedTree readXmlPageSource(const std::string& text) {
    pugi::xml_document document;
    const auto parsed = document.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        const XmlReader lines(text, Dialect::webDriverAgent);
        throw ImportError("line " + std::to_string(lines.lineOf(parsed.offset)) +
                          ": broken XML: " + parsed.description());
    }
    auto top = document.document_element();
    std::string format = "Appium/WebDriverAgent page source";
    // Appium wraps the application in <AppiumAUT>; the converted form wraps it in <hierarchy>.
    Dialect dialect = Dialect::webDriverAgent;
    std::string_view name = top.name();
    if (name == "hierarchy") {
        dialect = Dialect::nodes;
        format = "page source of <node> elements";
    }
    if (name == "AppiumAUT" || name == "hierarchy")
        top = top.find_child([](const pugi::xml_node& node) { return node.type() == pugi::node_element; });
    const XmlReader reader(text, dialect);
    if (!top) throw ImportError("the page source holds no element");
    name = top.name();
    if (name.starts_with("UIA")) {
        return {"UIAutomation page source", XmlReader(text, Dialect::uiAutomation).element(top, 0)};
    }
    if (dialect == Dialect::webDriverAgent && !name.starts_with(xcuiPrefix))
        throw ImportError("line " + std::to_string(reader.lineOf(top.offset_debug())) + ": <" + std::string(name) +
                          "> is neither an XCUIElementType nor a UIAutomation element: not an iOS page source");
    return {format, reader.element(top, 0)};
}

}  // namespace audkit::cli
