#include "audkit/tree/aud_context.hpp"

#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

#include "audkit/base/base64.hpp"
#include "audkit/base/float_format.hpp"
#include "audkit/base/id_and_time_source.hpp"
#include "audkit/base/process_state.hpp"
#include "audkit/base/text_helpers.hpp"
#include "audkit/tree/accessibility_attribute.hpp"
#include "audkit/tree/aud_view_json.hpp"
#include "audkit/tree/image_crop.hpp"
#include "audkit/tree/snapshot_capture.hpp"
#include "audkit/tree/view_tree_builder.hpp"

namespace audkit {
namespace {

constexpr int screenshotJpegQuality = 60;

AudMetaData makeMetaData(const AudDevice& device, const AudImage& screenshot, std::optional<std::string> screenTitle,
                         std::optional<std::string> appIdentifier, std::optional<std::string> runnerBundleIdentifier) {
    AudMetaData metaData;
    metaData.analysisTimestamp = truncateToInt64(IdAndTimeSource::secondsSince1970() * 1000.0);
    if (!isBlank(appIdentifier))
        metaData.appIdentifier = *appIdentifier;
    else if (runnerBundleIdentifier)
        metaData.appIdentifier = *runnerBundleIdentifier;
    else
        metaData.appIdentifier = noApplicationIdentifier;
    metaData.audVersion = audVersion();
    metaData.screenTitle = screenTitle ? *screenTitle : noScreenTitle;
    metaData.isFullScreenForML =
        device.screenWidth == screenshot.frame.width() && device.screenHeight == screenshot.frame.height();
    return metaData;
}

std::optional<std::string> stringAttribute(const std::optional<AttributeValue>& value) {
    return value ? attributeString(*value) : std::nullopt;
}

// Candidate titles in order; the last one wins.
std::optional<std::string> screenTitle(Platform& platform, UIElement& element, const AudView& tree) {
    std::optional<std::string> title;
    if (auto own = element.title(); !isBlank(own)) title = std::move(own);

    const auto children = element.valueForAccessibilityAttribute(attributeKey(AccessibilityAttribute::children));
    auto* interface = platform.snapshotSource().accessibilityInterface();
    if (children && interface != nullptr) {
        for (const auto& child : attributeReferences(*children).value_or(std::vector<XCAccessibilityElement>{})) {
            const auto className =
                stringAttribute(singleAttribute(*interface, child, AccessibilityAttribute::elementType));
            if (className == "UILayoutContainerView") continue;
            const auto controllerTitle =
                stringAttribute(singleAttribute(*interface, child, AccessibilityAttribute::viewControllerTitle));
            if (!controllerTitle) continue;
            auto trimmed = trimmedWhitespaceAndNewlines(*controllerTitle);
            if (!trimmed.empty()) title = std::move(trimmed);
        }
    }

    visitPreOrder(tree, [&](const AudView& view) {
        const bool inNavigationBar = view.parent && view.parent->elementType == AudElementType::navigationBar;
        if (view.elementType == AudElementType::staticText && inNavigationBar) {
            if (auto text = view.text()) {
                title = std::move(text);
                return RunStatus::stop;
            }
        }
        if (view.elementType == AudElementType::image && view.name &&
            view.isChildOfElementType(AudElementType::navigationBar)) {
            title = view.name;
            return RunStatus::stop;
        }
        return RunStatus::proceed;
    });
    return title;
}

AudImage encodeScreenshot(RgbaImage image, std::shared_ptr<const ImageCodec> codec) {
    if (!codec) throw ContextError::pngConversionFailed();
    std::string png;
    try {
        png = codec->encodePng(image);
    } catch (const ImageDecodingError&) {
        throw ContextError::pngConversionFailed();
    }
    if (png.empty() || image.width == 0 || image.height == 0) throw ContextError::pngConversionFailed();
    const AudBounds frame(0, static_cast<float>(image.width), 0, static_cast<float>(image.height));
    return AudImage{base64Encode(png), frame, std::make_shared<const RgbaImage>(std::move(image)), std::move(codec)};
}

}  // namespace

std::string audVersion() { return AUDKIT_VERSION; }

std::string AudMetaData::description() const {
    return "<AudMetaData appId=\"" + appIdentifier + "\" analysisTimestamp=\"" + std::to_string(analysisTimestamp) +
           "\" audVersion=\"" + audVersion + "\" screenTitle=\"" + customScanName.value_or(screenTitle) + "\">";
}

AudContext::AudContext(std::shared_ptr<AudView> view, AudDevice device, AudImage image,
                       std::optional<std::string> title, std::optional<std::string> appIdentifier,
                       std::optional<std::string> runnerBundleIdentifier)
    : audView(std::move(view)), audDevice(std::move(device)), screenshot(std::move(image)) {
    audMetaData = makeMetaData(audDevice, screenshot, std::move(title), std::move(appIdentifier),
                               std::move(runnerBundleIdentifier));
}

AudContext::AudContext(std::shared_ptr<AudView> view, AudDevice device, AudImage image, AudMetaData metaData)
    : audView(std::move(view)),
      audDevice(std::move(device)),
      screenshot(std::move(image)),
      audMetaData(std::move(metaData)) {}

bool AudContext::operator==(const AudContext& other) const {
    const bool viewsEqual = audView && other.audView ? *audView == *other.audView : audView == other.audView;
    return viewsEqual && audDevice == other.audDevice && audMetaData == other.audMetaData &&
           screenshot == other.screenshot;
}

std::optional<std::string> applicationIdentifierHint(UIElement& element,
                                                     const std::optional<std::string>& runnerBundleIdentifier) {
    const auto label =
        stringAttribute(element.valueForAccessibilityAttribute(attributeKey(AccessibilityAttribute::label)));
    if (!label || !runnerBundleIdentifier) return std::nullopt;
    std::string base = *runnerBundleIdentifier;
    constexpr std::string_view runnerSuffix = ".xctrunner";
    if (base.ends_with(runnerSuffix)) base.resize(base.size() - runnerSuffix.size());
    if (const auto lastDot = base.rfind('.'); lastDot != std::string::npos) base.resize(lastDot);
    return base + "." + *label;
}

std::shared_ptr<AudContext> makeContext(Platform& platform, UIElement& element) {
    auto& state = processState();
    state.clearMembershipCaches();
    const auto rootElement = makeRootElement(platform.snapshotSource(), element);
    if (!rootElement) throw ContextError::unableToGetViewHierarchy();

    // The screen is known before the tree is built: the header/footer test of
    // every node compares it with the node's bounds.
    const float scale = platform.screen().scale();
    std::optional<Screenshot> full;
    float screenWidth = 0, screenHeight = 0;
    if (platform.screen().hasScreenshot()) {
        full = platform.screen().screenshot();
        screenWidth = static_cast<float>(full->image->width);
        screenHeight = static_cast<float>(full->image->height);
    } else {
        // Without pixels the screen is the element's own frame.
        const auto frame = AudRect::fromPlatform(rootElement->frame);
        screenWidth = std::max(0.0F, frame.width() * scale);
        screenHeight = std::max(0.0F, frame.height() * scale);
    }
    auto tree = buildTree(platform.snapshotSource(), *rootElement, AudBounds(0, screenWidth, 0, screenHeight));
    if (!tree) throw ContextError::unableToGetViewHierarchy();

    AudImage screenshot;
    if (!full) {
        screenshot.frame = AudBounds(0, screenWidth, 0, screenHeight);
    } else if (rootElement->className != "UIApplication") {
        const auto frame = AudRect::fromPlatform(rootElement->frame);
        const AudRect pixels(frame.left() * scale, frame.right() * scale, frame.top() * scale, frame.bottom() * scale);
        screenshot = encodeScreenshot(cropImage(*full->image, pixels), platform.imageCodec());
    } else if (full->png && !full->png->empty() && platform.imageCodec()) {
        // The whole screen, already a PNG: encoding it again costs more than the rest of the capture.
        const AudBounds frame(0, screenWidth, 0, screenHeight);
        screenshot = AudImage{base64Encode(*full->png), frame, std::move(full->image),
                              platform.imageCodec()};
    } else {
        screenshot = encodeScreenshot(RgbaImage(*full->image), platform.imageCodec());
    }

    auto& device = platform.device();
    AudDevice audDevice{device.name(), device.systemName(), device.systemVersion(), screenHeight, screenWidth, scale};

    const auto runner = platform.applicationControl().runnerBundleIdentifier();
    auto hint = applicationIdentifierHint(element, runner);
    auto title = screenTitle(platform, element, *tree);
    return std::make_shared<AudContext>(std::move(tree), std::move(audDevice), std::move(screenshot), std::move(title),
                                        std::move(hint), runner);
}

Json deviceToJson(const AudDevice& device) {
    Json json = Json::object();
    json["dpi"] = jsonFloat(device.scale);
    json["name"] = device.name;
    json["os"] = device.os;
    json["osVersion"] = device.osVersion;
    json["screenHeight"] = jsonFloat(device.screenHeight);
    json["screenWidth"] = jsonFloat(device.screenWidth);
    return json;
}

AudDevice deviceFromJson(const Json& json) {
    return AudDevice{json.at("name").get<std::string>(),      json.at("os").get<std::string>(),
                     json.at("osVersion").get<std::string>(), json.at("screenHeight").get<float>(),
                     json.at("screenWidth").get<float>(),     json.at("dpi").get<float>()};
}

Json metaDataToJson(const AudMetaData& metaData) {
    Json json = Json::object();
    json["appIdentifier"] = metaData.appIdentifier;
    json["analysisTimestamp"] = std::to_string(metaData.analysisTimestamp);
    json["audVersion"] = metaData.audVersion;
    json["screenTitle"] = metaData.customScanName.value_or(metaData.screenTitle);
    json["isFullScreenForML"] = metaData.isFullScreenForML;
    return json;
}

AudMetaData metaDataFromJson(const Json& json) {
    AudMetaData metaData;
    metaData.appIdentifier = json.at("appIdentifier").get<std::string>();
    const auto timestamp = json.at("analysisTimestamp").get<std::string>();
    std::string_view digits = timestamp;
    if (digits.starts_with('+')) digits.remove_prefix(1);  // from_chars takes a minus sign only
    std::int64_t value = 0;
    const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    const bool whole = parsed.ec == std::errc() && parsed.ptr == digits.data() + digits.size() && !digits.empty() &&
                       !(timestamp.starts_with('+') && digits.starts_with('-'));
    metaData.analysisTimestamp = whole ? value : 0;
    metaData.audVersion = json.at("audVersion").get<std::string>();
    metaData.screenTitle = json.at("screenTitle").get<std::string>();
    metaData.isFullScreenForML = !json.contains("isFullScreenForML") || json.at("isFullScreenForML").get<bool>();
    return metaData;
}

namespace {

// The screenshot as the result document carries it: JPEG.
std::string screenshotJpeg(const AudContext& context) {
    std::string jpeg;
    const auto bytes = base64Decode(context.screenshot.base64png);
    if (!bytes) throw ImageCompressionError();
    const auto& codec = context.screenshot.codec;
    if (!codec) {
        if (!looksLikeJpeg(*bytes)) throw ImageCompressionError();
        jpeg = *bytes;
    } else {
        try {
            const auto& decoded = context.screenshot.decoded;
            jpeg = codec->encodeJpeg(decoded ? *decoded : codec->decode(*bytes), screenshotJpegQuality);
        } catch (const ImageDecodingError&) {
            throw ImageCompressionError();
        }
    }
    return jpeg;
}

}  // namespace

Json contextToJson(const AudContext& context) {
    Json json = Json::object();
    json["audView"] = context.audView ? viewToJson(*context.audView) : Json();
    json["audDevice"] = deviceToJson(context.audDevice);
    // A capture without pixels has no "screenshot" member.
    if (context.hasScreenshot()) json["screenshot"] = base64Encode(screenshotJpeg(context));
    json["audMetaData"] = metaDataToJson(context.audMetaData);
    return json;
}

std::shared_ptr<AudContext> contextFromJson(const Json& json) {
    auto device = deviceFromJson(json.at("audDevice"));
    AudImage screenshot{json.contains("screenshot") ? json.at("screenshot").get<std::string>() : std::string(),
                        device.screenSize(), nullptr, nullptr};
    auto view = viewFromJson(json.at("audView"));
    auto metaData = metaDataFromJson(json.at("audMetaData"));
    return std::make_shared<AudContext>(std::move(view), std::move(device), std::move(screenshot), std::move(metaData));
}

}  // namespace audkit
