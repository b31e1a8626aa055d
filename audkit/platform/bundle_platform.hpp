#pragma once

#include <memory>

#include "audkit/platform/capture_bundle.hpp"
#include "audkit/tree/platform.hpp"

namespace audkit {

// The platform answered from a capture bundle: the snapshot source, screen,
// device and application control say what the device said when the bundle
// was recorded.
class BundlePlatform : public Platform {
public:
    explicit BundlePlatform(CaptureBundle bundle);
    ~BundlePlatform() override;

    SnapshotSource& snapshotSource() override;
    Screen& screen() override;
    // Reads and decodes the screenshot now (it is kept for the scan), so
    // that it can be done while the text recogniser loads; no screenshot, none.
    std::shared_ptr<const RgbaImage> decodeScreenshot();
    Device& device() override;
    ApplicationControl& applicationControl() override;
    std::shared_ptr<const ImageCodec> imageCodec() override;
    // Tesseract, made on first use; null when its language model cannot be loaded.
    std::shared_ptr<TextRecognizer> textRecognizer() override;
    std::shared_ptr<UIElement> elementUnderTest() override;
    // Answered from the bundle's "settings" member; without it nothing exists in Settings.
    SettingsApp& settingsApp() override;

    const CaptureBundle& bundle() const { return bundle_; }

private:
    class Parts;
    CaptureBundle bundle_;
    std::unique_ptr<Parts> parts_;
    std::shared_ptr<TextRecognizer> recognizer_;
    bool recognizerTried_ = false;
};

}  // namespace audkit
