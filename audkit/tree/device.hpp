#pragma once

#include <optional>
#include <string>

#include "audkit/base/aud_rect.hpp"

namespace audkit {

// The platform's device orientation numbers.
enum class DeviceOrientation : int {
    unknown = 0,
    portrait = 1,
    portraitUpsideDown = 2,
    landscapeLeft = 3,
    landscapeRight = 4
};

// What the library asks of the device: its description and its orientation.
class Device {
public:
    virtual ~Device() = default;
    virtual std::string name() = 0;
    virtual std::string systemName() = 0;
    virtual std::string systemVersion() = 0;
    virtual std::optional<std::string> modelIdentifier() = 0;
    virtual std::optional<std::string> vendorIdentifier() = 0;

    virtual DeviceOrientation orientation() = 0;
    // Rotates the device; returns once the rotation is done. Returns false when
    // the device cannot be rotated.
    virtual bool setOrientation(DeviceOrientation orientation) = 0;
};

}  // namespace audkit
