#include "audkit/platform/capture_bundle.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "audkit/base/strict_json.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/tree/accessibility_attribute.hpp"
#include "audkit/tree/element_provenance.hpp"

namespace audkit {

using nlohmann::json;

struct CaptureBundle::Data {
    std::filesystem::path capturePath;
    std::filesystem::path screenshotPath;
    bool hasScreenshot = true;
    json document;
    const json* elements = nullptr;
    // Element records by id: constant-time lookups for large captures.
    std::unordered_map<std::string_view, const json*> index;

    const json* record(const std::string& id) const {
        const auto found = index.find(id);
        return found == index.end() ? nullptr : found->second;
    }
    BundleDevice device;
    std::optional<std::string> runnerBundleIdentifier;
    std::string rootId;
    std::uint64_t rootRawType = 0;
    BundleRootQueries rootQueries;
    std::optional<BundleOrientation> orientation;
    std::optional<BundleSettings> settings;
};

namespace {

constexpr std::uintmax_t maxCaptureBytes = 1024ULL * 1024 * 1024;
constexpr std::size_t maxIdsInMessage = 8;

std::string kindName(const json& value) {
    switch (value.type()) {
        case json::value_t::null: return "null";
        case json::value_t::object: return "an object";
        case json::value_t::array: return "an array";
        case json::value_t::string: return "a string";
        case json::value_t::boolean: return "a Boolean";
        case json::value_t::number_integer:
        case json::value_t::number_unsigned: return "an integer";
        case json::value_t::number_float: return "a number with a fraction";
        default: return "a value of another kind";
    }
}

// A value as an error message shows it: scalars as written, arrays and
// objects by their kind (rendering them would recurse as deep as they nest).
std::string shown(const json& value) {
    if (value.is_array() || value.is_object()) return kindName(value);
    std::string text = value.dump(-1, ' ', false, json::error_handler_t::replace);
    constexpr std::size_t longest = 80;
    return text.size() <= longest ? text : text.substr(0, longest) + "...";
}

std::string quotedId(const std::string& text) {
    return json(text).dump(-1, ' ', false, json::error_handler_t::replace);
}

class Reader {
public:
    explicit Reader(std::filesystem::path path) : path_(std::move(path)) {}

    [[noreturn]] void fail(const std::string& what) const { throw CaptureBundleError(path_.string() + ": " + what); }
    std::string where() const { return path_.string(); }

    const json& required(const json& object, const char* member, const std::string& where) const {
        const auto found = object.find(member);
        if (found == object.end()) fail("missing member \"" + where + member + "\"");
        return *found;
    }

    std::string requiredString(const json& object, const char* member, const std::string& where) const {
        const auto& value = required(object, member, where);
        if (!value.is_string()) fail("member \"" + where + member + "\" must be a string, found " + kindName(value));
        return value.get<std::string>();
    }

    static std::optional<std::string> optionalString(const json& object, const char* member) {
        const auto found = object.find(member);
        if (found == object.end() || !found->is_string()) return std::nullopt;
        return found->get<std::string>();
    }

private:
    std::filesystem::path path_;
};

std::optional<std::uint64_t> parseUnsigned(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    }
    std::uint64_t value = 0;
    const auto* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value, base);
    if (text.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
    return value;
}

std::optional<PlatformRect> rectangleFrom(const json& object) {
    PlatformRect rect;
    const std::pair<const char*, double*> members[] = {
        {"X", &rect.x}, {"Y", &rect.y}, {"Width", &rect.width}, {"Height", &rect.height}};
    for (const auto& [name, target] : members) {
        const auto found = object.find(name);
        if (found == object.end() || !found->is_number()) return std::nullopt;
        *target = found->get<double>();
        if (!std::isfinite(*target)) return std::nullopt;
    }
    return rect;
}

// Converts a recorded value to the kind the platform would have answered.
AttributeValue attributeValueFrom(std::string_view key, const json& value) {
    switch (value.type()) {
        case json::value_t::string: {
            const auto& text = value.get_ref<const std::string&>();
            // Producers whose numbers are doubles write trait bits as text.
            if (key == attributeKey(AccessibilityAttribute::traits)) {
                if (const auto bits = parseUnsigned(text)) return *bits;
            }
            return text;
        }
        case json::value_t::boolean: return value.get<bool>();
        case json::value_t::number_unsigned: return value.get<std::uint64_t>();
        case json::value_t::number_integer: return value.get<std::int64_t>();
        case json::value_t::number_float: return value.get<double>();
        case json::value_t::object:
            if (const auto rect = rectangleFrom(value)) return *rect;
            return OtherValue{};
        case json::value_t::array:
            if (key == attributeKey(AccessibilityAttribute::children)) {
                std::vector<XCAccessibilityElement> references;
                for (const auto& item : value)
                    if (item.is_string()) references.push_back({item.get<std::string>()});
                return references;
            }
            return ValueList{value.size()};
        default: return OtherValue{};
    }
}

// The ids an element's children list references (strings only).
std::vector<std::string> childIds(const json& record) {
    std::vector<std::string> ids;
    if (!record.is_object()) return ids;
    const auto attributes = record.find("attributes");
    if (attributes == record.end() || !attributes->is_object()) return ids;
    const auto children = attributes->find(attributeKey(AccessibilityAttribute::children));
    if (children == attributes->end() || !children->is_array()) return ids;
    for (const auto& item : *children)
        if (item.is_string()) ids.push_back(item.get<std::string>());
    return ids;
}

std::string describePath(const std::vector<std::string>& ids) {
    std::string text;
    const std::size_t shown = std::min(ids.size(), maxIdsInMessage);
    for (std::size_t i = 0; i < shown; ++i) text += (i ? " > " : "") + quotedId(ids[i]);
    if (ids.size() > shown) text += " > ... (" + std::to_string(ids.size() - shown) + " more)";
    return text;
}

// The references below the root must form a tree: an element reached twice is
// a cycle or an element under two parents. Iterative, so depth is unlimited.
void checkTree(const Reader& reader, const std::unordered_map<std::string_view, const json*>& elements,
               const std::string& rootId) {
    std::unordered_map<std::string, std::string> parentOf;  // reached element -> the element that listed it
    parentOf.emplace(rootId, std::string());
    std::vector<std::string> pending{rootId};
    auto ancestry = [&](const std::string& id) {
        std::vector<std::string> chain{id};
        for (auto at = parentOf.find(id); at != parentOf.end() && !at->second.empty(); at = parentOf.find(at->second))
            chain.push_back(at->second);
        std::reverse(chain.begin(), chain.end());
        return chain;
    };
    while (!pending.empty()) {
        const std::string id = std::move(pending.back());
        pending.pop_back();
        const auto record = elements.find(id);
        if (record == elements.end()) continue;
        for (auto& child : childIds(*record->second)) {
            if (!elements.contains(child)) continue;  // unreadable child, skipped like on a device
            const auto reached = parentOf.find(child);
            if (reached == parentOf.end()) {
                parentOf.emplace(child, id);
                pending.push_back(std::move(child));
                continue;
            }
            const auto chain = ancestry(id);
            if (std::find(chain.begin(), chain.end(), child) != chain.end()) {
                auto cycle = std::vector<std::string>(std::find(chain.begin(), chain.end(), child), chain.end());
                cycle.push_back(child);
                reader.fail("reference cycle in \"elements\": " + describePath(cycle));
            }
            const std::string firstParent =
                reached->second.empty() ? std::string("(the root)") : quotedId(reached->second);
            reader.fail("element " + quotedId(child) + " is listed under two parents in \"elements\": " + firstParent +
                        " and " + quotedId(id));
        }
    }
}

BundleDevice readDevice(const Reader& reader, const json& document) {
    const auto& device = reader.required(document, "device", "");
    if (!device.is_object()) reader.fail("member \"device\" must be an object, found " + kindName(device));
    BundleDevice result;
    result.name = reader.requiredString(device, "name", "device.");
    result.systemName = reader.requiredString(device, "systemName", "device.");
    result.systemVersion = reader.requiredString(device, "systemVersion", "device.");
    const auto& scale = reader.required(device, "scale", "device.");
    // Pixels per point: no screen has under a tenth of a pixel or over a
    // hundred (a scale that rounds to 0 as a float would shrink every frame to nothing).
    if (!scale.is_number() || !(scale.get<double>() >= 0.1 && scale.get<double>() <= 100))
        reader.fail("member \"device.scale\" must be a number of pixels per point from 0.1 to 100, found " +
                    shown(scale));
    result.scale = scale.get<float>();
    result.modelIdentifier = Reader::optionalString(device, "modelIdentifier");
    result.vendorIdentifier = Reader::optionalString(device, "vendorIdentifier");
    return result;
}

BundleRootQueries readRootQueries(const json& document) {
    BundleRootQueries queries;
    const auto found = document.find("rootQueries");
    if (found == document.end() || !found->is_object()) return queries;
    const auto webViews = found->find("webViewCount");
    if (webViews != found->end() && webViews->is_number_unsigned()) queries.webViewCount = webViews->get<std::size_t>();
    const auto keyboard = found->find("keyboardExists");
    if (keyboard != found->end() && keyboard->is_boolean()) queries.keyboardExists = keyboard->get<bool>();
    queries.title = Reader::optionalString(*found, "title");
    return queries;
}

std::optional<BundleOrientation> readOrientation(const json& document) {
    const auto found = document.find("orientation");
    if (found == document.end() || !found->is_object()) return std::nullopt;
    BundleOrientation orientation;
    const auto initial = found->find("initial");
    if (initial != found->end() && initial->is_number_integer())
        orientation.initial =
            static_cast<DeviceOrientation>(std::clamp<std::int64_t>(initial->get<std::int64_t>(), 0, 4));
    const auto frames = found->find("appFrames");
    if (frames != found->end() && frames->is_object()) {
        for (const auto& [key, value] : frames->items()) {
            const auto number = parseUnsigned(key);
            if (!number || *number > 4 || !value.is_object()) continue;
            if (const auto rect = rectangleFrom(value)) orientation.appFrames[static_cast<int>(*number)] = *rect;
        }
    }
    return orientation;
}

std::string readFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) throw CaptureBundleError(path.string() + ": cannot be read: " + error.message());
    if (size > maxCaptureBytes)
        throw CaptureBundleError(path.string() + ": is " + std::to_string(size) + " bytes, more than the " +
                                 std::to_string(maxCaptureBytes) + " accepted");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CaptureBundleError(path.string() + ": cannot be opened");
    std::string text(size, '\0');
    in.read(text.data(), static_cast<std::streamsize>(size));
    if (static_cast<std::uintmax_t>(in.gcount()) != size)
        throw CaptureBundleError(path.string() + ": could not be read whole");
    return text;
}

// "root" and "elements": the snapshot itself.
// A misspelt key would silently leave its attribute unset (a misspelt
// visibility flag makes every view invisible): each unknown key is named once,
// with the first element that has it.
void warnAboutUnknownAttributeKeys(const Reader& reader, const json& elements) {
    std::set<std::string, std::less<>> known;
    for (int attribute = 0; attribute <= static_cast<int>(AccessibilityAttribute::displayID); ++attribute)
        known.emplace(attributeKey(static_cast<AccessibilityAttribute>(attribute)));
    std::set<std::string, std::less<>> reported;
    for (const auto& [id, record] : elements.items()) {
        if (!record.is_object()) continue;
        const auto attributes = record.find("attributes");
        if (attributes == record.end() || !attributes->is_object()) continue;
        for (const auto& [key, value] : attributes->items()) {
            if (known.contains(key) || !reported.insert(key).second) continue;
            ZKLog::always(ZKLog::line(LogLevel::warning, reader.where() + ": element " + quotedId(id) +
                                                             " has the unknown attribute key " + quotedId(key) +
                                                             ", which is ignored"));
        }
    }
}

void readElements(const Reader& reader, CaptureBundle::Data& data) {
    const json& document = data.document;
    data.rootId = reader.requiredString(document, "root", "");
    const auto& elements = reader.required(document, "elements", "");
    if (!elements.is_object()) reader.fail("member \"elements\" must be an object, found " + kindName(elements));
    data.elements = &elements;
    data.index.reserve(elements.size());
    for (const auto& [id, record] : elements.items()) data.index.emplace(id, &record);
    warnAboutUnknownAttributeKeys(reader, elements);
    const auto root = elements.find(data.rootId);
    if (root == elements.end())
        reader.fail("member \"root\" names " + quotedId(data.rootId) + ", which is not in \"elements\"");
    if (!root->is_object())
        reader.fail("element " + quotedId(data.rootId) + " must be an object, found " + kindName(*root));
    const auto rootType = root->find("rawType");
    if (rootType == root->end() || !rootType->is_number_unsigned())
        reader.fail("the root element " + quotedId(data.rootId) + " needs an integer \"rawType\"");
    data.rootRawType = rootType->get<std::uint64_t>();
}

// The scripted Settings application; its after-change capture is read (and
// checked) now, so a broken one is reported when the bundle opens.
std::optional<BundleSettings> readSettings(const Reader& reader, const json& document,
                                           const std::filesystem::path& capturePath) {
    const auto found = document.find("settings");
    if (found == document.end() || found->is_null()) return std::nullopt;
    if (!found->is_object()) reader.fail("member \"settings\" must be an object, found " + kindName(*found));
    BundleSettings settings;
    if (const auto labels = found->find("labels"); labels != found->end()) {
        if (!labels->is_array()) reader.fail("member \"settings.labels\" must be an array, found " + kindName(*labels));
        for (const auto& label : *labels) {
            if (!label.is_string())
                reader.fail("member \"settings.labels\" must hold strings, found " + kindName(label));
            settings.labels.push_back(label.get<std::string>());
        }
    }
    settings.sliderValue = Reader::optionalString(*found, "sliderValue");
    if (const auto after = found->find("afterLargerText"); after != found->end() && !after->is_null()) {
        if (!after->is_string() || after->get_ref<const std::string&>().empty())
            reader.fail("member \"settings.afterLargerText\" must name a file, found " + shown(*after));
        settings.afterLargerText = std::make_shared<const CaptureBundle>(
            CaptureBundle::snapshotOnly(capturePath.parent_path() / after->get<std::string>()));
    }
    return settings;
}

// The document, refusing a member name that appears twice in one object
// (which of two "root" members would count is anybody's guess).
json parseDocument(const std::string& text, const Reader& reader) {
    json document;
    std::optional<std::string> repeated;
    try {
        repeated = parseNotingRepeats(text, document);
    } catch (const json::exception& error) {  // bad syntax, or a number out of range
        reader.fail(std::string("not valid JSON: ") + error.what());
    }
    if (repeated) reader.fail("member " + shown(json(*repeated)) + " appears twice in one object");
    return document;
}

}  // namespace

CaptureBundle::CaptureBundle(std::shared_ptr<const Data> data) : data_(std::move(data)) {}

CaptureBundle CaptureBundle::open(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) throw CaptureBundleError(path.string() + ": no such file or directory");
    const auto capturePath = std::filesystem::is_directory(path, error) ? path / "capture.json" : path;
    const auto status = std::filesystem::status(capturePath, error);
    if (std::filesystem::is_directory(status))
        throw CaptureBundleError(capturePath.string() +
                                 ": a folder, not a file (a bundle is a directory holding capture.json)");
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        throw CaptureBundleError(capturePath.string() +
                                 ": not a regular file (a pipe, device or socket), so no capture can be read from it");
    if (!std::filesystem::is_regular_file(status))
        throw CaptureBundleError(capturePath.string() + ": not found (a bundle is a directory holding capture.json)");
    return fromText(readFile(capturePath), capturePath);
}

CaptureBundle CaptureBundle::fromText(const std::string& text, const std::filesystem::path& capturePath) {
    const Reader reader(capturePath);
    auto data = std::make_shared<Data>();
    data->capturePath = capturePath;
    data->document = parseDocument(text, reader);
    const json& document = data->document;
    if (!document.is_object()) reader.fail("the document must be a JSON object, found " + kindName(document));

    const auto& format = reader.required(document, "format", "");
    if (format != "audkit-capture")
        reader.fail("member \"format\" is " + shown(format) + ", expected \"audkit-capture\"");
    const auto& version = reader.required(document, "version", "");
    if (!version.is_number_integer() || version.get<std::int64_t>() != 1)
        reader.fail("member \"version\" is " + shown(version) + ", only version 1 is supported");

    data->device = readDevice(reader, document);
    if (const auto runner = document.find("runner"); runner != document.end() && runner->is_object())
        data->runnerBundleIdentifier = Reader::optionalString(*runner, "bundleIdentifier");

    std::string screenshot = "screenshot.png";
    if (const auto found = document.find("screenshot"); found != document.end() && found->is_null()) {
        data->hasScreenshot = false;  // an accessibility tree recorded without the screen's pixels
    } else if (found != document.end()) {
        if (!found->is_string() || found->get_ref<const std::string&>().empty())
            reader.fail("member \"screenshot\" must name a file, found " + shown(*found));
        screenshot = found->get<std::string>();
        // The screenshot is the bundle's own: a path out of it would make the
        // scan read (and reports embed) any file.
        const std::filesystem::path named(screenshot);
        if (named.is_absolute() ||
            std::any_of(named.begin(), named.end(), [](const auto& part) { return part == ".."; }))
            reader.fail("member \"screenshot\" must name a file inside the bundle, found " + shown(*found));
    }
    data->screenshotPath = capturePath.parent_path() / screenshot;

    readElements(reader, *data);
    data->rootQueries = readRootQueries(document);
    data->orientation = readOrientation(document);
    checkTree(reader, data->index, data->rootId);
    data->settings = readSettings(reader, document, capturePath);
    return CaptureBundle(std::move(data));
}

CaptureBundle CaptureBundle::snapshotOnly(const std::filesystem::path& path) {
    const Reader reader(path);
    auto data = std::make_shared<Data>();
    data->capturePath = path;
    data->document = parseDocument(readFile(path), reader);
    if (!data->document.is_object())
        reader.fail("the document must be a JSON object, found " + kindName(data->document));
    readElements(reader, *data);
    checkTree(reader, data->index, data->rootId);
    return CaptureBundle(std::move(data));
}

const std::filesystem::path& CaptureBundle::capturePath() const { return data_->capturePath; }
const std::filesystem::path& CaptureBundle::screenshotPath() const { return data_->screenshotPath; }
bool CaptureBundle::hasScreenshot() const { return data_->hasScreenshot; }
const BundleDevice& CaptureBundle::device() const { return data_->device; }
const std::optional<std::string>& CaptureBundle::runnerBundleIdentifier() const {
    return data_->runnerBundleIdentifier;
}
const std::string& CaptureBundle::rootId() const { return data_->rootId; }
std::uint64_t CaptureBundle::rootRawType() const { return data_->rootRawType; }
const BundleRootQueries& CaptureBundle::rootQueries() const { return data_->rootQueries; }
const std::optional<BundleOrientation>& CaptureBundle::orientation() const { return data_->orientation; }
const std::optional<BundleSettings>& CaptureBundle::settings() const { return data_->settings; }
std::size_t CaptureBundle::elementCount() const { return data_->elements->size(); }

namespace {

// The record's "provenance" (an imported dump's) under the keys the snapshot
// capture asks for it by; anything malformed is simply not known.
std::optional<AttributeValue> provenanceAnswer(const json& provenance, std::string_view key) {
    auto text = [&](const char* member) -> std::optional<AttributeValue> {
        const auto value = provenance.find(member);
        if (value == provenance.end() || !value->is_string()) return std::nullopt;
        return AttributeValue(value->get<std::string>());
    };
    if (key == ElementProvenance::sourceKey) return text("source");
    if (key == ElementProvenance::systemElementKey) return text("systemElement");
    if (key != ElementProvenance::inferredKey) return std::nullopt;
    const auto inferred = provenance.find("inferred");
    if (inferred == provenance.end() || !inferred->is_object()) return std::nullopt;
    std::string keys;
    for (const auto& [attribute, from] : inferred->items()) keys += attribute + "\n";
    return AttributeValue(std::move(keys));
}

}  // namespace

std::optional<AttributeDictionary> CaptureBundle::attributes(const std::string& id, const AttributeNames& names) const {
    const auto* record = data_->record(id);
    if (record == nullptr || !record->is_object()) return std::nullopt;
    const auto attributes = record->find("attributes");
    if (attributes == record->end() || !attributes->is_object()) return std::nullopt;
    AttributeDictionary dictionary;
    const auto provenance = record->find("provenance");
    for (const auto& name : names) {
        const auto value = attributes->find(name);
        if (value != attributes->end()) {
            dictionary.emplace(name, attributeValueFrom(name, *value));
        } else if (provenance != record->end() && provenance->is_object()) {
            if (auto answer = provenanceAnswer(*provenance, name)) dictionary.emplace(name, std::move(*answer));
        }
    }
    return dictionary;
}

std::vector<std::string> CaptureBundle::recordedTexts() const {
    std::vector<std::string> texts;
    for (const auto& [id, record] : data_->index) {
        if (!record->is_object()) continue;
        const auto attributes = record->find("attributes");
        if (attributes == record->end() || !attributes->is_object()) continue;
        for (const auto attribute :
             {AccessibilityAttribute::label, AccessibilityAttribute::value, AccessibilityAttribute::placeholderValue}) {
            const auto text = attributes->find(attributeKey(attribute));
            if (text != attributes->end() && text->is_string()) texts.push_back(text->get<std::string>());
        }
    }
    return texts;
}

std::optional<std::uint64_t> CaptureBundle::rawType(const std::string& id) const {
    const auto* record = data_->record(id);
    if (record == nullptr || !record->is_object()) return std::nullopt;
    const auto rawType = record->find("rawType");
    if (rawType == record->end() || !rawType->is_number_unsigned()) return std::nullopt;
    return rawType->get<std::uint64_t>();
}

}  // namespace audkit
