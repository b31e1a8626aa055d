#pragma once

#include <memory>

#include "audkit/tree/application_control.hpp"
#include "audkit/tree/device.hpp"
#include "audkit/tree/screen.hpp"
#include "audkit/tree/snapshot_source.hpp"

namespace audkit {

// Everything the library reaches of the platform, in one place: the snapshot
// source, the screen, the device and application control, plus the element
// under test.
class Platform {
public:
    virtual ~Platform() = default;
    virtual SnapshotSource& snapshotSource() = 0;
    virtual Screen& screen() = 0;
    virtual Device& device() = 0;
    virtual ApplicationControl& applicationControl() = 0;
    virtual std::shared_ptr<UIElement> elementUnderTest() = 0;
};

}  // namespace audkit
