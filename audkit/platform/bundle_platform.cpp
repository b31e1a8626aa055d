#include "audkit/platform/bundle_platform.hpp"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "audkit/base/zk_log.hpp"
#include "audkit/platform/png_codec.hpp"
#include "audkit/platform/standard_image_codec.hpp"
#include "audkit/platform/tesseract_recognizer.hpp"
#include "audkit/tree/accessibility_attribute.hpp"
#include "audkit/tree/larger_text_probe.hpp"

namespace audkit {
namespace {

class BundleSnapshot : public XCElementSnapshot {
public:
    explicit BundleSnapshot(std::uint64_t rawType) : rawType_(rawType) {}
    std::optional<AttributeValue> rootElementSnapshotValue(std::string_view key) const override {
        if (key == "_elementType") return AttributeValue(rawType_);
        return std::nullopt;
    }

private:
    std::uint64_t rawType_;
};

// Which capture the application answers with: the bundle's own, the one
// recorded after the text size grew, or none (that one was not recorded).
struct CurrentCapture {
    const CaptureBundle* bundle;
};

class BundleAccessibilityInterface : public AccessibilityInterface {
public:
    explicit BundleAccessibilityInterface(const CurrentCapture& current) : current_(current) {}

    std::optional<AttributeDictionary> attributesForElement(const XCAccessibilityElement& element,
                                                            const AttributeNames& names) override {
        if (!current_.bundle) return std::nullopt;
        return current_.bundle->attributes(element.reference, names);
    }

    std::unique_ptr<XCElementSnapshot> requestSnapshot(const XCAccessibilityElement& element, const AttributeNames&,
                                                       const SnapshotParameters&) override {
        const auto rawType = current_.bundle ? current_.bundle->rawType(element.reference) : std::nullopt;
        if (!rawType) return nullptr;
        return std::make_unique<BundleSnapshot>(*rawType);
    }

private:
    const CurrentCapture& current_;
};

class BundleDeviceImpl : public Device {
public:
    explicit BundleDeviceImpl(const CaptureBundle& bundle)
        : bundle_(bundle),
          orientation_(bundle.orientation() ? bundle.orientation()->initial : DeviceOrientation::portrait) {}

    std::string name() override { return bundle_.device().name; }
    std::string systemName() override { return bundle_.device().systemName; }
    std::string systemVersion() override { return bundle_.device().systemVersion; }
    std::optional<std::string> modelIdentifier() override { return bundle_.device().modelIdentifier; }
    std::optional<std::string> vendorIdentifier() override { return bundle_.device().vendorIdentifier; }
    DeviceOrientation orientation() override { return orientation_; }

    // Only a bundle that recorded the rotation can rotate.
    bool setOrientation(DeviceOrientation orientation) override {
        if (!bundle_.orientation()) return false;
        orientation_ = orientation;
        return true;
    }

    // The application frame after a rotation: what the bundle recorded for the
    // current orientation; none when it did not record one.
    std::optional<std::optional<PlatformRect>> rotatedAppFrame() const {
        const auto& recorded = bundle_.orientation();
        if (!recorded) return std::nullopt;
        const auto found = recorded->appFrames.find(static_cast<int>(orientation_));
        if (found != recorded->appFrames.end()) return std::optional<PlatformRect>(found->second);
        if (orientation_ == recorded->initial) return std::nullopt;  // the element's own frame stands
        return std::optional<PlatformRect>();
    }

private:
    const CaptureBundle& bundle_;
    DeviceOrientation orientation_;
};

class BundleRootElement : public UIElement {
public:
    BundleRootElement(const CaptureBundle& bundle, const CurrentCapture& current, const BundleDeviceImpl& device)
        : bundle_(bundle), current_(current), device_(device) {}

    std::optional<AttributeDictionary> valuesForAccessibilityAttributes(const AttributeNames& names) override {
        if (!current_.bundle) return std::nullopt;
        auto attributes = current_.bundle->attributes(current_.bundle->rootId(), names);
        if (!attributes) return attributes;
        const auto frameKey = std::string(attributeKey(AccessibilityAttribute::frame));
        if (const auto rotated = device_.rotatedAppFrame(); rotated && attributes->contains(frameKey)) {
            if (*rotated)
                (*attributes)[frameKey] = **rotated;
            else
                attributes->erase(frameKey);
        }
        return attributes;
    }

    std::optional<AttributeValue> valueForAccessibilityAttribute(std::string_view name) override {
        const auto key = std::string(name);
        const auto attributes = valuesForAccessibilityAttributes(AttributeNames{key});
        if (!attributes) return std::nullopt;
        const auto* value = findAttribute(*attributes, key);
        if (value == nullptr) return std::nullopt;
        return *value;
    }

    std::uint64_t elementType() override { return (current_.bundle ? *current_.bundle : bundle_).rootRawType(); }
    std::size_t webViewCount() override { return bundle_.rootQueries().webViewCount; }
    bool keyboardExists() override { return bundle_.rootQueries().keyboardExists; }
    std::optional<std::string> title() override { return bundle_.rootQueries().title; }

private:
    const CaptureBundle& bundle_;
    const CurrentCapture& current_;
    const BundleDeviceImpl& device_;
};

// The Settings application as the bundle scripted it: the labels it lists
// exist (and can be tapped), the slider is on the Larger Text page, and
// moving the slider above the user's position makes the application answer
// with the capture recorded after the text grew.
class BundleSettingsApp : public SettingsApp {
public:
    BundleSettingsApp(const CaptureBundle& bundle, CurrentCapture& current)
        : bundle_(bundle),
          current_(current),
          value_(bundle.settings() ? bundle.settings()->sliderValue : std::nullopt),
          userPosition_(largertext::sliderPosition(value_).value_or(largertext::defaultPosition)) {}

    std::unique_ptr<Element> staticText(const std::string& label) override {
        return std::make_unique<Labelled>(*this, "StaticText", label);
    }
    std::unique_ptr<Element> button(const std::string& label) override {
        return std::make_unique<Labelled>(*this, "Button", label);
    }
    std::unique_ptr<Slider> firstSlider() override { return std::make_unique<LargerTextSlider>(*this); }
    void swipeDown() override {}

private:
    class Labelled : public Element {
    public:
        Labelled(BundleSettingsApp& app, std::string kind, std::string label)
            : app_(app), kind_(std::move(kind)), label_(std::move(label)) {}
        bool exists() override {
            const auto& settings = app_.bundle_.settings();
            return settings &&
                   std::find(settings->labels.begin(), settings->labels.end(), label_) != settings->labels.end();
        }
        bool isHittable() override { return exists(); }
        void tap() override {
            if (exists()) app_.onLargerTextPage_ = label_ == largertext::largerTextLabel;
        }
        std::string description() override { return kind_ + " \"" + label_ + "\""; }

    private:
        BundleSettingsApp& app_;
        std::string kind_, label_;
    };

    class LargerTextSlider : public Slider {
    public:
        explicit LargerTextSlider(BundleSettingsApp& app) : app_(app) {}
        bool exists() override { return app_.onLargerTextPage_; }
        bool isHittable() override { return exists(); }
        void tap() override {}
        std::string description() override { return "Slider (first match)"; }
        std::optional<std::string> value() override { return app_.value_; }
        void adjust(double normalizedPosition) override {
            if (!exists()) return;
            char text[16];
            std::snprintf(text, sizeof text, "%.0f%%", normalizedPosition * 100);
            app_.value_ = text;
            const auto& settings = app_.bundle_.settings();
            const bool larger = normalizedPosition > app_.userPosition_ + 1e-9;
            app_.current_.bundle = !larger                     ? &app_.bundle_
                                   : settings->afterLargerText ? settings->afterLargerText.get()
                                                               : nullptr;
        }

    private:
        BundleSettingsApp& app_;
    };

    const CaptureBundle& bundle_;
    CurrentCapture& current_;
    std::optional<std::string> value_;
    double userPosition_;
    bool onLargerTextPage_ = false;
};

// No phone screenshot comes near this as a PNG.
constexpr std::uintmax_t maxScreenshotBytes = 256ULL * 1024 * 1024;
// The largest device screens are under 2,800 pixels a side; a small PNG that
// claims far more would only cost memory (8192 x 8192 is a gigabyte decoded).
constexpr std::uint32_t maxScreenshotSide = 4096;

class BundleScreen : public Screen {
public:
    explicit BundleScreen(const CaptureBundle& bundle) : bundle_(bundle) {}

    Screenshot screenshot() override {
        decode();
        return Screenshot{image_, bundle_.device().scale, png_};
    }

    // Reads and decodes the screenshot once; later calls keep it.
    std::shared_ptr<const RgbaImage> decode() {
        if (!bundle_.hasScreenshot())
            throw ImageDecodingError(bundle_.capturePath().string() + ": the capture has no screenshot");
        if (!image_) {
            const auto& path = bundle_.screenshotPath();
            // Only a regular file of a sane size: a pipe would never end and a
            // device such as /dev/zero would be read until memory runs out.
            std::error_code error;
            if (!std::filesystem::is_regular_file(path, error))
                throw ImageDecodingError(path.string() + ": the screenshot is not a regular file");
            if (std::filesystem::file_size(path, error) > maxScreenshotBytes)
                throw ImageDecodingError(path.string() + ": the screenshot is larger than " +
                                         std::to_string(maxScreenshotBytes / (1024 * 1024)) + " MB");
            std::ifstream in(path, std::ios::binary);
            if (!in) throw ImageDecodingError(path.string() + ": screenshot cannot be opened");
            std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (looksLikeJpeg(bytes)) throw ImageDecodingError(path.string() + ": JPEG found, PNG expected");
            try {
                image_ = std::make_shared<const RgbaImage>(decodePng(bytes, maxScreenshotSide));
            } catch (const ImageDecodingError& error) {
                throw ImageDecodingError(path.string() + ": " + error.what());
            }
            png_ = std::make_shared<const std::string>(std::move(bytes));  // as read: never encoded again
        }
        return image_;
    }

    bool hasScreenshot() override { return bundle_.hasScreenshot(); }
    float scale() override { return bundle_.device().scale; }

private:
    const CaptureBundle& bundle_;
    std::shared_ptr<const RgbaImage> image_;
    std::shared_ptr<const std::string> png_;
};

}  // namespace

class BundlePlatform::Parts : public SnapshotSource, public ApplicationControl {
public:
    explicit Parts(const CaptureBundle& bundle)
        : bundle(bundle),
          current{&bundle},
          interface(current),
          device(bundle),
          screen(bundle),
          root(std::make_shared<BundleRootElement>(bundle, current, device)),
          settings(bundle, current) {}

    AccessibilityInterface* accessibilityInterface() override { return &interface; }
    float screenScale() override { return screen.scale(); }

    // A bundle records one application: whatever identifier is asked for, its
    // element under test answers.
    std::shared_ptr<UIElement> application(const std::string&) override { return root; }
    void launch(const std::string&) override {}
    void activate(const std::string&) override {}
    void terminate(const std::string&) override {}
    std::optional<std::string> runnerBundleIdentifier() override { return bundle.runnerBundleIdentifier(); }

    const CaptureBundle& bundle;
    CurrentCapture current;
    BundleAccessibilityInterface interface;
    BundleDeviceImpl device;
    BundleScreen screen;
    std::shared_ptr<BundleRootElement> root;
    BundleSettingsApp settings;
};

BundlePlatform::BundlePlatform(CaptureBundle bundle)
    : bundle_(std::move(bundle)), parts_(std::make_unique<Parts>(bundle_)) {}
BundlePlatform::~BundlePlatform() = default;

SnapshotSource& BundlePlatform::snapshotSource() { return *parts_; }
Screen& BundlePlatform::screen() { return parts_->screen; }

std::shared_ptr<const RgbaImage> BundlePlatform::decodeScreenshot() {
    return parts_->screen.hasScreenshot() ? parts_->screen.decode() : nullptr;
}
Device& BundlePlatform::device() { return parts_->device; }
ApplicationControl& BundlePlatform::applicationControl() { return *parts_; }
std::shared_ptr<UIElement> BundlePlatform::elementUnderTest() { return parts_->root; }
SettingsApp& BundlePlatform::settingsApp() { return parts_->settings; }

std::shared_ptr<const ImageCodec> BundlePlatform::imageCodec() {
    static const auto codec = std::make_shared<const StandardImageCodec>();
    return codec;
}

std::shared_ptr<TextRecognizer> BundlePlatform::textRecognizer() {
    if (!recognizer_ && !recognizerTried_) {
        recognizerTried_ = true;
        try {
            recognizer_ = std::make_shared<TesseractRecognizer>();
        } catch (const TextRecognizerError& error) {
            ZKLog::log(error);  // scans go on without text found on the screenshot
        }
    }
    return recognizer_;
}

}  // namespace audkit
