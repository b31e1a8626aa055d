#include "tools/audkit/import/bundle_writer.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <unordered_map>
#include <utility>
#include <vector>

#include "audkit/platform/png_codec.hpp"
#include "tools/audkit/import/element_types.hpp"
#include "tools/audkit/import/system_elements.hpp"
#include "tools/audkit/report/output_file.hpp"

namespace audkit::cli {
namespace {

using Json = nlohmann::ordered_json;

// The UIKit class each element type usually is: dumps name roles, not classes.
constexpr std::array<std::pair<std::string_view, std::string_view>, 30> classNames{{
    {"Application", "UIApplication"},
    {"Window", "UIWindow"},
    {"Alert", "UIAlertControllerView"},
    {"Button", "UIButton"},
    {"NavigationBar", "UINavigationBar"},
    {"TabBar", "UITabBar"},
    {"Toolbar", "UIToolbar"},
    {"StatusBar", "UIStatusBar"},
    {"Table", "UITableView"},
    {"Cell", "UITableViewCell"},
    {"CollectionView", "UICollectionView"},
    {"ScrollView", "UIScrollView"},
    {"StaticText", "UILabel"},
    {"TextField", "UITextField"},
    {"SecureTextField", "UITextField"},
    {"TextView", "UITextView"},
    {"SearchField", "UISearchBar"},
    {"Image", "UIImageView"},
    {"Switch", "UISwitch"},
    {"Slider", "UISlider"},
    {"SegmentedControl", "UISegmentedControl"},
    {"PageIndicator", "UIPageControl"},
    {"ProgressIndicator", "UIProgressView"},
    {"ActivityIndicator", "UIActivityIndicatorView"},
    {"Picker", "UIPickerView"},
    {"DatePicker", "UIDatePicker"},
    {"Stepper", "UIStepper"},
    {"WebView", "WKWebView"},
    {"Map", "MKMapView"},
    {"Keyboard", "UIKeyboardImpl"},
}};

std::string classNameOf(const ImportedElement& element, const ImportedElement* parent) {
    if (element.type == "Cell" && parent && parent->type == "CollectionView") return "UICollectionViewCell";
    // What VoiceOver meets of a table's row is the cell's accessibility
    // element, which is named from its texts when it has no label of its own.
    if (element.type == "Cell" && parent && parent->type == "Table") return "UITableViewCellAccessibilityElement";
    for (const auto& [type, name] : classNames)
        if (type == element.type) return std::string(name);
    return "UIView";
}

// The types VoiceOver stops on by themselves. Cells, segmented controls and
// steppers are containers: the texts and buttons inside them are the elements
// (dumps that say so agree).
bool isLeafType(const ImportedElement& element) {
    static constexpr std::array<std::string_view, 13> leaves{
        "Button", "StaticText", "TextField", "SecureTextField", "TextView",          "SearchField",      "Switch",
        "Slider", "Link",       "Key",       "PageIndicator",   "ProgressIndicator", "ActivityIndicator"};
    return std::find(leaves.begin(), leaves.end(), element.type) != leaves.end();
}

bool isLabelledGroup(const ImportedElement& element) {
    return (element.type == "Image" || element.type == "Other") && element.label && !element.label->empty();
}

// Whether an element lies below: a leaf type, or a labelled group (which is
// an element itself or holds one).
bool holdsElement(const ImportedElement& element) {
    std::vector<const ImportedElement*> stack;
    for (const auto& child : element.children) stack.push_back(&child);
    while (!stack.empty()) {
        const auto* node = stack.back();
        stack.pop_back();
        if (isLeafType(*node) || isLabelledGroup(*node)) return true;
        for (const auto& child : node->children) stack.push_back(&child);
    }
    return false;
}

// The leaf types; others ("Other", images) only when they carry a label and
// hold no element: a labelled group of elements (a web page's landmark, a
// region) is a container that VoiceOver enters, not one element.
bool isElementByType(const ImportedElement& element) {
    if (isLeafType(element)) return true;
    return isLabelledGroup(element) && !holdsElement(element);
}

// Traits a dump without them implies through the type and state. A cell is
// no button unless the dump says so: many rows only show text or hold the
// real controls.
std::uint64_t traitsByType(const ImportedElement& element) {
    std::uint64_t traits = 0;
    const auto& type = element.type;
    if (type == "Button" || type == "Switch") traits |= *traitBit("Button");
    if (type == "Link") traits |= *traitBit("Link");
    if (type == "Image") traits |= *traitBit("Image");
    if (type == "StaticText") traits |= *traitBit("StaticText");
    if (type == "SearchField") traits |= *traitBit("SearchField");
    if (type == "Slider" || type == "PickerWheel" || type == "Stepper") traits |= *traitBit("Adjustable");
    if (type == "Key") traits |= *traitBit("KeyboardKey");
    if (type == "TabBar") traits |= *traitBit("TabBar");
    if (element.selected) traits |= *traitBit("Selected");
    if (element.enabled == false) traits |= *traitBit("NotEnabled");
    return traits;
}

// The containers whose contents are clipped to their bounds.
bool clips(const ImportedElement& element) {
    static constexpr std::array<std::string_view, 7> clipping{"Application",    "Window",  "ScrollView", "Table",
                                                              "CollectionView", "WebView", "Alert"};
    return std::find(clipping.begin(), clipping.end(), element.type) != clipping.end();
}

struct Rect {
    double x = 0, y = 0, width = 0, height = 0;
    bool empty() const { return !(width > 0 && height > 0); }
    // A negative size turned round, as the platform standardises it.
    Rect standardized() const {
        return {std::min(x, x + width), std::min(y, y + height), std::abs(width), std::abs(height)};
    }
    Rect intersect(const Rect& other) const {
        const double left = std::max(x, other.x), top = std::max(y, other.y);
        const double right = std::min(x + width, other.x + other.width);
        const double bottom = std::min(y + height, other.y + other.height);
        return {left, top, std::max(0.0, right - left), std::max(0.0, bottom - top)};
    }
};

Json rectJson(const Rect& rect) {
    const auto standard = rect.standardized();
    return Json{{"X", standard.x}, {"Y", standard.y}, {"Width", standard.width}, {"Height", standard.height}};
}

// What a record holds beyond the platform's attributes: where the element
// stands in the dump, what the dump does not say and the importer inferred
// (attribute key: from what), trait names this version does not know, and
// whether the system draws the element rather than the application.
Json provenance(const ImportedElement& element, const std::string* systemElement) {
    Json inferred;
    const auto byType = "the element type " + element.type;
    inferred["XC_kAXXCAttributeElementType"] = byType + " (dumps name roles, not classes)";
    if (!element.traits)
        inferred["XC_kAXXCAttributeTraits"] = byType + (element.enabled == false ? " and enabled=\"false\"" : "");
    if (!element.accessible) inferred["XC_kAXXCAttributeIsElement"] = byType + (element.label ? " and its label" : "");
    inferred["XC_kAXXCAttributeIsUserInteractionEnabled"] =
        !element.enabled
            ? std::string("nothing: taken as enabled")
            : std::string("enabled=\"") + (*element.enabled ? "true" : "false") + "\", the nearest the dump has";
    inferred["XC_kAXXCAttributeVisibleFrame"] = "the frame clipped by the screen and the scrolling containers";
    if (!element.visible) inferred["XC_kAXXCAttributeIsVisible"] = "the visible frame";
    Json record;
    record["source"] = "line " + std::to_string(element.line);
    record["inferred"] = std::move(inferred);
    if (!element.unknownTraits.empty()) record["unknownTraits"] = element.unknownTraits;
    if (systemElement) record["systemElement"] = *systemElement;
    return record;
}

class Writer {
public:
    Writer(std::vector<std::string>& warnings, std::unordered_map<const ImportedElement*, std::string> system)
        : warnings_(warnings), system_(std::move(system)) {}

    std::string add(const ImportedElement& element, const ImportedElement* parent, const std::optional<Rect>& frame,
                    const Rect& clip) {
        const auto id = "e" + std::to_string(records_.size());
        const auto index = records_.size();
        records_.emplace_back(id, Json::object());
        auto& record = records_[index].second;
        record["rawType"] = *elementTypeNumber(element.type);
        const auto system = system_.find(&element);
        record["provenance"] = provenance(element, system == system_.end() ? nullptr : &system->second);
        for (const auto& trait : element.unknownTraits)
            warnings_.push_back("line " + std::to_string(element.line) + ": the trait \"" + trait +
                                "\" is unknown to this version; it is kept in the capture and not judged");
        Json attributes;
        attributes["XC_kAXXCAttributeElementType"] = classNameOf(element, parent);
        if (element.label) attributes["XC_kAXXCAttributeLabel"] = *element.label;
        if (element.value) attributes["XC_kAXXCAttributeValue"] = *element.value;
        if (element.placeholderValue) attributes["XC_kAXXCAttributePlaceholderValue"] = *element.placeholderValue;
        if (element.identifier) attributes["XC_kAXXCAttributeIdentifier"] = *element.identifier;
        attributes["XC_kAXXCAttributeTraits"] = element.traits.value_or(traitsByType(element));
        attributes["XC_kAXXCAttributeIsElement"] = element.accessible.value_or(isElementByType(element)) ? 1 : 0;
        attributes["XC_kAXXCAttributeIsUserInteractionEnabled"] = element.enabled.value_or(true) ? 1 : 0;
        // The part on screen: the frame clipped by the screen and every
        // scrolling container; nothing of an element the dump calls invisible.
        std::optional<Rect> visible;
        if (frame) {
            attributes["XC_kAXXCAttributeFrame"] = rectJson(*frame);
            if (element.visible != false) {
                const auto shown = frame->standardized().intersect(clip);
                if (!shown.empty() || (frame->width == 0 || frame->height == 0)) visible = shown;
            }
        } else {
            attributes["XC_kAXXCAttributeFrame"] = nullptr;
            warnings_.push_back("line " + std::to_string(element.line) + ": the " + element.type +
                                " has no frame; it is left off the screen");
        }
        attributes["XC_kAXXCAttributeVisibleFrame"] = visible ? rectJson(*visible) : Json();
        attributes["XC_kAXXCAttributeIsVisible"] = element.visible.value_or(visible && !visible->empty()) ? 1 : 0;
        if (element.type == "WebView") ++webViews_;
        if (element.type == "Keyboard") keyboard_ = true;

        const auto childClip = frame && clips(element) ? clip.intersect(frame->standardized()) : clip;
        Json children = Json::array();
        for (const auto& child : element.children) {
            std::optional<Rect> childFrame;
            if (child.hasFrame()) childFrame = Rect{*child.x, *child.y, *child.width, *child.height};
            children.push_back(add(child, &element, childFrame, childClip));
        }
        attributes["XC_kAXXCAttributeChildren"] = std::move(children);
        records_[index].second["attributes"] = std::move(attributes);  // `record` may dangle: children were added
        return id;
    }

    // The elements in the order they were added. The ids are unique by
    // construction, so they go in without the ordered object's search by key,
    // which made an import of many elements quadratic.
    Json elements() {
        Json elements = Json::object();
        auto& members = static_cast<Json::object_t::Container&>(elements.get_ref<Json::object_t&>());
        members.reserve(records_.size());
        for (auto& [id, record] : records_) members.emplace_back(std::move(id), std::move(record));
        records_.clear();
        return elements;
    }

    std::size_t webViews_ = 0;
    bool keyboard_ = false;

private:
    std::vector<std::string>& warnings_;
    std::unordered_map<const ImportedElement*, std::string> system_;
    std::vector<std::pair<std::string, Json>> records_;
};

// The root's frame, else (an application line without one) its first child's.
std::optional<Rect> rootFrame(const ImportedElement& root) {
    if (root.hasFrame()) return Rect{*root.x, *root.y, *root.width, *root.height};
    for (const auto& child : root.children)
        if (child.hasFrame()) return Rect{*child.x, *child.y, *child.width, *child.height};
    return std::nullopt;
}

}  // namespace

std::string captureDocument(const ImportedTree& tree, const std::optional<RgbaImage>& screenshot,
                            std::vector<std::string>& warnings) {
    const auto frame = rootFrame(tree.root);
    if (!frame || frame->empty())
        throw ImportError("line " + std::to_string(tree.root.line) + ": the root " + tree.root.type +
                          " has no frame with a size, so the screen's size is unknown");
    double scale = 3;
    if (screenshot) {
        const double across = screenshot->width / frame->width, down = screenshot->height / frame->height;
        // The screenshot must show the same screen: one scale both ways.
        if (std::abs(across - down) > 0.02 * std::max(across, down))
            throw ImportError("the screenshot of " + std::to_string(screenshot->width) + " x " +
                              std::to_string(screenshot->height) + " pixels does not show the tree's screen of " +
                              std::to_string(static_cast<long>(frame->width)) + " x " +
                              std::to_string(static_cast<long>(frame->height)) + " points");
        scale = across;
    }

    Writer writer(warnings, systemElements(tree.root));
    const auto root = writer.add(tree.root, nullptr, frame, *frame);
    Json document;
    document["format"] = "audkit-capture";
    document["version"] = 1;
    document["device"] =
        Json{{"name", "Unknown device"}, {"systemName", "iOS"}, {"systemVersion", ""}, {"scale", scale}};
    document["screenshot"] = screenshot ? Json("screenshot.png") : Json();
    document["root"] = root;
    document["rootQueries"] =
        Json{{"webViewCount", writer.webViews_}, {"keyboardExists", writer.keyboard_}, {"title", nullptr}};
    document["elements"] = writer.elements();
    document["importedFrom"] = tree.format;
    auto text = document.dump(1);
    text += '\n';  // in place: the text of a large import is a hundred megabytes
    return text;
}

void writeImportedBundle(const std::filesystem::path& folder, const std::string& captureDocument,
                         const std::optional<RgbaImage>& screenshot) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::exists(folder, error) && !(fs::is_directory(folder, error) && fs::is_empty(folder, error)))
        throw ImportError(folder.string() + " already exists and is not an empty folder; nothing was written");
    // Folders on the way to the target are made, as they always were.
    if (const auto parent = folder.parent_path(); !parent.empty() && !fs::create_directories(parent, error) && error)
        throw ImportError("cannot create " + parent.string() + ": " + error.message());
    // Written beside the target and moved into place, so a failed write leaves nothing half done.
    const auto partial = temporaryFolderBeside(folder);  // a new one: nothing that was there is touched
    auto write = [&](const fs::path& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!(out << bytes) || !out.flush()) {
            const auto reason = std::string(std::strerror(errno));
            fs::remove_all(partial, error);
            throw ImportError("cannot write " + path.string() + ": " + reason);
        }
    };
    write(partial / "capture.json", captureDocument);
    if (screenshot) write(partial / "screenshot.png", encodePng(*screenshot));
    if (fs::exists(folder, error)) fs::remove(folder, error);  // the empty folder it may replace
    fs::rename(partial, folder, error);
    if (error) {
        const auto reason = error.message();
        fs::remove_all(partial, error);
        throw ImportError("cannot create " + folder.string() + ": " + reason);
    }
}

}  // namespace audkit::cli
