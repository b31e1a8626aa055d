#pragma once

#include <memory>

#include "audkit/tree/application_control.hpp"
#include "audkit/tree/device.hpp"
#include "audkit/tree/image_codec.hpp"
#include "audkit/tree/screen.hpp"
#include "audkit/tree/settings_app.hpp"
#include "audkit/tree/snapshot_source.hpp"
#include "audkit/tree/text_recognizer.hpp"

namespace audkit {

// Everything the library reaches of the platform, in one place: the snapshot
// source, the screen, the device and application control, image coding and
// text recognition, the Settings application, plus the element under test.
class Platform {
public:
    virtual ~Platform() = default;
    virtual SnapshotSource& snapshotSource() = 0;
    virtual Screen& screen() = 0;
    virtual Device& device() = 0;
    virtual ApplicationControl& applicationControl() = 0;
    virtual std::shared_ptr<const ImageCodec> imageCodec() = 0;
    // Null when the platform has no recogniser (its model cannot be loaded):
    // scans then find no text on the screenshot.
    virtual std::shared_ptr<TextRecognizer> textRecognizer() = 0;
    virtual std::shared_ptr<UIElement> elementUnderTest() = 0;
    // The system Settings application (its elements exist only where the
    // platform can reach them).
    virtual SettingsApp& settingsApp() = 0;
};

}  // namespace audkit
