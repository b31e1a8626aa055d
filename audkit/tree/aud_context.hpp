#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "audkit/base/aud_rect.hpp"
#include "audkit/base/error.hpp"
#include "audkit/base/json.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/tree/larger_text_probe.hpp"
#include "audkit/tree/orientation_probe.hpp"
#include "audkit/tree/platform.hpp"
#include "audkit/tree/rgba_image.hpp"

namespace audkit {

class ContextError : public MessageError {
public:
    static ContextError unableToGetViewHierarchy() { return ContextError("Unable to get view hierarchy."); }
    static ContextError pngConversionFailed() {
        return ContextError("Could not generate screenshot. Unable to convert image to PNG.");
    }

private:
    using MessageError::MessageError;
};

class ImageCompressionError : public MessageError {
public:
    ImageCompressionError() : MessageError("Could not compress screenshot.") {}
};

// The device a scan ran on; sizes in pixels.
struct AudDevice {
    std::string name;
    std::string os;
    std::string osVersion;
    float screenHeight = 0;
    float screenWidth = 0;
    float scale = 1;

    AudBounds screenSize() const { return AudBounds(0, screenWidth, 0, screenHeight); }
    bool operator==(const AudDevice&) const = default;
};

// The screenshot as base64 text with its extent in pixels.
struct AudImage {
    std::string base64png;
    AudBounds frame;
    // The pixels base64png was made from, kept by the capture so the scan need
    // not decode them again; absent for an image read from JSON.
    std::shared_ptr<const RgbaImage> decoded;
    // How the capture encoded the screenshot, used again to write it as JPEG;
    // absent for an image read from JSON, which is a JPEG already.
    std::shared_ptr<const ImageCodec> codec;

    bool operator==(const AudImage& other) const { return base64png == other.base64png && frame == other.frame; }
};

struct AudMetaData {
    std::string appIdentifier;
    std::int64_t analysisTimestamp = 0;  // milliseconds since 1970
    std::string audVersion;
    std::string screenTitle;
    bool isFullScreenForML = true;
    std::optional<std::string> customScanName;

    std::string description() const;
    bool operator==(const AudMetaData&) const = default;
};

inline constexpr const char* noApplicationIdentifier = "No Application Identifier Available";
inline constexpr const char* noScreenTitle = "No Screen Title Available";

// Everything captured for one scan.
class AudContext {
public:
    // Builds the metadata: the time now, the application identifier (the given
    // one unless blank, else the runner's), the library's version, the title.
    AudContext(std::shared_ptr<AudView> audView, AudDevice audDevice, AudImage screenshot,
               std::optional<std::string> screenTitle, std::optional<std::string> appIdentifier,
               std::optional<std::string> runnerBundleIdentifier);
    AudContext(std::shared_ptr<AudView> audView, AudDevice audDevice, AudImage screenshot, AudMetaData audMetaData);

    std::shared_ptr<AudView> audView;
    AudDevice audDevice;
    AudImage screenshot;
    // False for a capture of the tree alone: no pixels to recognise or measure.
    bool hasScreenshot() const { return !screenshot.base64png.empty() || screenshot.decoded; }
    AudMetaData audMetaData;
    // The application's frames in the three orientations, when the scan
    // measured them (they are not part of the result document).
    std::optional<OrientationFrames> orientationFrames;
    // The application captured again with larger text, when the scan opted
    // in to the dynamic-type rule (not part of the result document either).
    std::optional<LargerTextCapture> largerText;

    bool operator==(const AudContext& other) const;
};

// The library's own version.
std::string audVersion();

// Captures a context from the element under test: the tree, the screenshot
// (cropped to the element unless it is the application), the device, the
// application identifier hint and the screen title. Throws ContextError.
std::shared_ptr<AudContext> makeContext(Platform& platform, UIElement& element);

// The hint from the element's label and the runner's bundle identifier:
// "com.example.shop.uitests.xctrunner" and "Shop" give "com.example.shop.Shop".
std::optional<std::string> applicationIdentifierHint(UIElement& element,
                                                     const std::optional<std::string>& runnerBundleIdentifier);

// "audView", "audDevice", "screenshot" (JPEG at quality 0.6, base64) and
// "audMetaData". A JPEG screenshot is written as it is. Writing throws
// ImageCompressionError when the screenshot is not an image.
Json contextToJson(const AudContext& context);
std::shared_ptr<AudContext> contextFromJson(const Json& json);

Json deviceToJson(const AudDevice& device);
AudDevice deviceFromJson(const Json& json);
Json metaDataToJson(const AudMetaData& metaData);
AudMetaData metaDataFromJson(const Json& json);

}  // namespace audkit
