#include "audkit/tree/image_crop.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace audkit {

RgbaImage cropImage(const RgbaImage& image, const AudRect& pixels) {
    auto clamp = [](float value, std::uint32_t limit) {
        return static_cast<std::uint32_t>(std::clamp(value, 0.0F, static_cast<float>(limit)));
    };
    const auto left = clamp(std::floor(pixels.left()), image.width);
    const auto right = clamp(std::ceil(pixels.right()), image.width);
    const auto top = clamp(std::floor(pixels.top()), image.height);
    const auto bottom = clamp(std::ceil(pixels.bottom()), image.height);
    RgbaImage crop;
    if (right <= left || bottom <= top) return crop;
    crop.width = right - left;
    crop.height = bottom - top;
    crop.pixels.resize(static_cast<std::size_t>(crop.width) * crop.height * 4);
    for (std::uint32_t row = 0; row < crop.height; ++row) {
        const auto* from = image.pixels.data() + ((static_cast<std::size_t>(top + row) * image.width) + left) * 4;
        std::memcpy(crop.pixels.data() + static_cast<std::size_t>(row) * crop.width * 4, from,
                    static_cast<std::size_t>(crop.width) * 4);
    }
    return crop;
}

RgbaImage enlargedImage(const RgbaImage& image, std::uint32_t factor) {
    if (factor <= 1) return image;
    RgbaImage large;
    large.width = image.width * factor;
    large.height = image.height * factor;
    large.pixels.resize(static_cast<std::size_t>(large.width) * large.height * 4);
    auto* to = large.pixels.data();
    for (std::uint32_t y = 0; y < large.height; ++y) {
        const auto* row = image.pixels.data() + static_cast<std::size_t>(y / factor) * image.width * 4;
        for (std::uint32_t x = 0; x < large.width; ++x, to += 4) std::memcpy(to, row + (x / factor) * 4, 4);
    }
    return large;
}

}  // namespace audkit
