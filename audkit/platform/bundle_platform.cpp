#include "audkit/platform/bundle_platform.hpp"

#include <fstream>
#include <iterator>
#include <optional>

#include "audkit/base/zk_log.hpp"
#include "audkit/platform/png_codec.hpp"
#include "audkit/platform/standard_image_codec.hpp"
#include "audkit/platform/tesseract_recognizer.hpp"
#include "audkit/tree/accessibility_attribute.hpp"

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

class BundleAccessibilityInterface : public AccessibilityInterface {
public:
    explicit BundleAccessibilityInterface(const CaptureBundle& bundle) : bundle_(bundle) {}

    std::optional<AttributeDictionary> attributesForElement(const XCAccessibilityElement& element,
                                                            const AttributeNames& names) override {
        return bundle_.attributes(element.reference, names);
    }

    std::unique_ptr<XCElementSnapshot> requestSnapshot(const XCAccessibilityElement& element, const AttributeNames&,
                                                       const SnapshotParameters&) override {
        const auto rawType = bundle_.rawType(element.reference);
        if (!rawType) return nullptr;
        return std::make_unique<BundleSnapshot>(*rawType);
    }

private:
    const CaptureBundle& bundle_;
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
    BundleRootElement(const CaptureBundle& bundle, const BundleDeviceImpl& device) : bundle_(bundle), device_(device) {}

    std::optional<AttributeDictionary> valuesForAccessibilityAttributes(const AttributeNames& names) override {
        auto attributes = bundle_.attributes(bundle_.rootId(), names);
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

    std::uint64_t elementType() override { return bundle_.rootRawType(); }
    std::size_t webViewCount() override { return bundle_.rootQueries().webViewCount; }
    bool keyboardExists() override { return bundle_.rootQueries().keyboardExists; }
    std::optional<std::string> title() override { return bundle_.rootQueries().title; }

private:
    const CaptureBundle& bundle_;
    const BundleDeviceImpl& device_;
};

class BundleScreen : public Screen {
public:
    explicit BundleScreen(const CaptureBundle& bundle) : bundle_(bundle) {}

    Screenshot screenshot() override {
        if (!image_) {
            const auto& path = bundle_.screenshotPath();
            std::ifstream in(path, std::ios::binary);
            if (!in) throw ImageDecodingError(path.string() + ": screenshot cannot be opened");
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            try {
                image_ = decodePng(bytes);
            } catch (const ImageDecodingError& error) {
                throw ImageDecodingError(path.string() + ": " + error.what());
            }
        }
        return Screenshot{*image_, bundle_.device().scale};
    }

    float scale() override { return bundle_.device().scale; }

private:
    const CaptureBundle& bundle_;
    std::optional<RgbaImage> image_;
};

}  // namespace

class BundlePlatform::Parts : public SnapshotSource, public ApplicationControl {
public:
    explicit Parts(const CaptureBundle& bundle)
        : bundle(bundle),
          interface(bundle),
          device(bundle),
          screen(bundle),
          root(std::make_shared<BundleRootElement>(bundle, device)) {}

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
    BundleAccessibilityInterface interface;
    BundleDeviceImpl device;
    BundleScreen screen;
    std::shared_ptr<BundleRootElement> root;
};

BundlePlatform::BundlePlatform(CaptureBundle bundle)
    : bundle_(std::move(bundle)), parts_(std::make_unique<Parts>(bundle_)) {}
BundlePlatform::~BundlePlatform() = default;

SnapshotSource& BundlePlatform::snapshotSource() { return *parts_; }
Screen& BundlePlatform::screen() { return parts_->screen; }
Device& BundlePlatform::device() { return parts_->device; }
ApplicationControl& BundlePlatform::applicationControl() { return *parts_; }
std::shared_ptr<UIElement> BundlePlatform::elementUnderTest() { return parts_->root; }

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
