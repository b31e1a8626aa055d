#pragma once

#include <optional>
#include <string>

#include "audkit/base/aud_rect.hpp"
#include "audkit/tree/platform.hpp"

namespace audkit {

// The application's frame (points) after the device was turned to each
// orientation the orientation rule compares.
struct OrientationFrames {
    PlatformRect portrait;
    PlatformRect landscapeLeft;
    PlatformRect landscapeRight;
};

// Turns the device to portrait, landscape left and landscape right, reads the
// frame of the application (the one with this bundle identifier, else the
// element under test) after each turn, and turns the device back. None when
// the device cannot be turned or a frame cannot be read: then nothing is
// known about the orientations the application supports.
std::optional<OrientationFrames> measureOrientationFrames(Platform& platform,
                                                          const std::optional<std::string>& bundleIdentifier);

}  // namespace audkit
