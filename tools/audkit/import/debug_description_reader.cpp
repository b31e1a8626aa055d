#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <vector>

#include "audkit/base/text_helpers.hpp"
#include "tools/audkit/import/element_types.hpp"
#include "tools/audkit/import/imported_tree.hpp"

// XCTest's debug description (`po app`): one element per line below "Element
// subtree:", nested by indentation:
//   Button, 0x6000027e7e20, {{37.5, 294.0}, {300.0, 44.0}}, identifier: 'ok', label: 'Log in', Selected
namespace audkit::cli {
namespace {

[[noreturn]] void fail(std::size_t line, const std::string& what) {
    throw ImportError("line " + std::to_string(line) + ": " + what);
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

double number(std::string_view text, std::size_t line) {
    const std::string copy(trimmed(text));
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || *end != '\0' || errno != 0 || !std::isfinite(value))
        fail(line, "\"" + copy + "\" is not a number");
    return value;
}

// The keys after the frame; a value runs to the next ", key:" or flag.
constexpr std::string_view keys[] = {"identifier: ", "label: ", "value: ", "placeholderValue: ", "title: ", "pid: "};
constexpr std::string_view flags[] = {"Selected", "Disabled", "Keyboard Focused", "Focused", "Hittable"};

bool startsField(std::string_view rest) {
    for (const auto key : keys)
        if (rest.starts_with(key)) return true;
    for (const auto flag : flags)
        if (rest == flag || rest.starts_with(std::string(flag) + ",")) return true;
    return false;
}

class LineReader {
public:
    LineReader(std::string_view text, std::size_t line) : rest_(text), line_(line) {}

    ImportedElement element() {
        ImportedElement element;
        element.line = line_;
        // "Window (Main)" is a window; "→" marks the element the description was asked for.
        auto type = trimmed(upTo(','));
        if (type.starts_with("\u2192")) type.remove_prefix(std::string_view("\u2192").size());
        if (const auto space = type.find(" ("); space != std::string_view::npos) type = type.substr(0, space);
        if (!elementTypeNumber(type)) fail(line_, "\"" + std::string(type) + "\" is no element type");
        element.type = std::string(type);
        while (!rest_.empty()) {
            if (rest_.starts_with("0x")) {
                upTo(',');
            } else if (rest_.starts_with("{{")) {
                frame(element);
            } else if (rest_.starts_with("'") && element.type == "Application") {
                quoted();  // an application's title
            } else {
                field(element);
            }
        }
        return element;
    }

private:
    std::string_view upTo(char separator) {
        const auto end = rest_.find(separator);
        const auto piece = rest_.substr(0, end);
        rest_ = end == std::string_view::npos ? std::string_view() : trimmed(rest_.substr(end + 1));
        return piece;
    }

    void frame(ImportedElement& element) {
        // {{x, y}, {w, h}}
        const auto end = rest_.find("}}");
        if (end == std::string_view::npos) fail(line_, "a frame without its closing \"}}\"");
        auto inside = rest_.substr(2, end - 2);
        rest_ = trimmed(rest_.substr(end + 2));
        if (rest_.starts_with(",")) rest_ = trimmed(rest_.substr(1));
        const auto middle = inside.find("}, {");
        if (middle == std::string_view::npos) fail(line_, "a frame that is not {{x, y}, {width, height}}");
        auto pair = [&](std::string_view text) {
            const auto comma = text.find(',');
            if (comma == std::string_view::npos) fail(line_, "a frame that is not {{x, y}, {width, height}}");
            return std::pair{number(text.substr(0, comma), line_), number(text.substr(comma + 1), line_)};
        };
        const auto [x, y] = pair(inside.substr(0, middle));
        const auto [width, height] = pair(inside.substr(middle + 4));
        element.x = x, element.y = y, element.width = width, element.height = height;
    }

    // '...' up to the quote that ends the field (a quote before ", " or the end).
    std::string quoted() {
        std::size_t end = 1;
        while (true) {
            end = rest_.find('\'', end);
            if (end == std::string_view::npos) fail(line_, "a quoted text without its closing quote");
            const auto after = trimmed(rest_.substr(end + 1));
            if (after.empty() || (after.starts_with(",") && startsField(trimmed(after.substr(1))))) break;
            ++end;
        }
        std::string text(rest_.substr(1, end - 1));
        rest_ = trimmed(rest_.substr(end + 1));
        if (rest_.starts_with(",")) rest_ = trimmed(rest_.substr(1));
        return text;
    }

    // An unquoted value runs to the next field.
    std::string bare() {
        std::size_t end = 0;
        while (true) {
            end = rest_.find(',', end);
            if (end == std::string_view::npos || startsField(trimmed(rest_.substr(end + 1)))) break;
            ++end;
        }
        std::string text(trimmed(rest_.substr(0, end)));
        rest_ = end == std::string_view::npos ? std::string_view() : trimmed(rest_.substr(end + 1));
        return text;
    }

    void field(ImportedElement& element) {
        for (const auto flag : flags) {
            if (rest_ == flag || rest_.starts_with(std::string(flag) + ",")) {
                if (flag == "Selected") element.selected = true;
                if (flag == "Disabled") element.enabled = false;
                upTo(',');
                return;
            }
        }
        for (const auto key : keys) {
            if (!rest_.starts_with(key)) continue;
            rest_ = trimmed(rest_.substr(key.size()));
            auto value = rest_.starts_with("'") ? quoted() : bare();
            if (key == "identifier: ") element.identifier = std::move(value);
            if (key == "label: ") element.label = std::move(value);
            if (key == "value: ") element.value = std::move(value);
            if (key == "placeholderValue: ") element.placeholderValue = std::move(value);
            return;
        }
        fail(line_, "cannot read \"" + std::string(rest_.substr(0, std::min<std::size_t>(rest_.size(), 40))) + "\"");
    }

    std::string_view rest_;
    std::size_t line_;
};

// Columns of indentation before the element's text ("→" counts as one).
std::size_t indentation(std::string_view line) {
    std::size_t columns = 0;
    while (!line.empty() && line.front() == ' ') {
        ++columns;
        line.remove_prefix(1);
    }
    return columns;
}

}  // namespace

ImportedTree readDebugDescription(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    std::size_t number = 0;
    bool inSubtree = false;
    std::vector<std::pair<std::size_t, ImportedElement*>> open;  // indentation and element, outermost first
    std::optional<ImportedElement> root;
    while (std::getline(in, line)) {
        ++number;
        const auto content = trimmed(line);
        if (!inSubtree) {
            inSubtree = content == "Element subtree:";
            continue;
        }
        if (content.empty()) continue;
        if (content == "Path to element:" || content == "Query chain:") break;
        const auto columns = indentation(line);
        auto element = LineReader(content, number).element();
        while (!open.empty() && open.back().first >= columns) open.pop_back();
        if (open.empty()) {
            if (root) fail(number, "a second top-level element; a description holds one tree");
            root = std::move(element);
            open.emplace_back(columns, &*root);
            continue;
        }
        if (open.size() > maxImportDepth)
            fail(number, "elements are nested more than " + std::to_string(maxImportDepth) + " deep");
        auto& children = open.back().second->children;
        children.push_back(std::move(element));
        open.emplace_back(columns, &children.back());
    }
    if (!inSubtree) throw ImportError("no \"Element subtree:\" line: not an XCTest debug description");
    if (!root) throw ImportError("the element subtree is empty");
    return {"XCTest debug description", std::move(*root)};
}

ImportedTree readAccessibilityDump(const std::string& text) {
    // Texts go into the capture as JSON strings, which must be UTF-8.
    if (const auto invalid = firstInvalidUtf8(text)) {
        const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(*invalid), '\n');
        throw ImportError("line " + std::to_string(line) + ": not UTF-8 text (dumps are read as UTF-8)");
    }
    std::string_view content = text;
    if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);  // a byte-order mark
    content = trimmed(content);
    while (!content.empty() && (content.front() == '\n')) content = trimmed(content.substr(1));
    if (content.starts_with("<")) return readXmlPageSource(text);
    if (content.find("Element subtree:") != std::string_view::npos) return readDebugDescription(text);
    throw ImportError(
        "neither an XML page source (Appium, WebDriverAgent, UIAutomation) nor an XCTest debug description");
}

}  // namespace audkit::cli
