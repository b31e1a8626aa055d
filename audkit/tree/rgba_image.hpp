#pragma once

#include <cstdint>
#include <vector>

namespace audkit {

// An image as 8-bit RGBA pixels, rows top to bottom, no padding.
struct RgbaImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 4 bytes
};

}  // namespace audkit
