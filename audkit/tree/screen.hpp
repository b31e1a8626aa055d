#pragma once

#include <memory>
#include <string>

#include "audkit/tree/rgba_image.hpp"

namespace audkit {

// A full-screen screenshot: its pixels and the scale that turns its pixel size
// into points.
// Pixels and bytes are shared, never copied: the capture, the recogniser and
// the result hold the same ones.
struct Screenshot {
    std::shared_ptr<const RgbaImage> image;
    float scale = 1.0F;
    // The same pixels as PNG, where the platform has them so already (a
    // recorded file): the capture keeps them instead of encoding again.
    std::shared_ptr<const std::string> png;
    float widthInPoints() const { return static_cast<float>(image->width) / scale; }
    float heightInPoints() const { return static_cast<float>(image->height) / scale; }
};

// The device's main screen.
class Screen {
public:
    virtual ~Screen() = default;
    // Throws an Error naming the problem when no screenshot can be taken.
    virtual Screenshot screenshot() = 0;
    // False when there are no pixels to take (a recorded accessibility tree
    // without its screenshot): the screen is then known by the element's frame.
    virtual bool hasScreenshot() { return true; }
    virtual float scale() = 0;
};

}  // namespace audkit
