#include "audkit/vision/aud_bitmap.hpp"

#include <algorithm>

namespace audkit {

AudColor AudBitmap::pixelColor(double x, double y, bool clear) {
    // A buffer shorter than its stated size is as unusable as none.
    if (image_.pixels.empty() || image_.pixels.size() / 4 / std::max<std::size_t>(image_.width, 1) < image_.height)
        throw BitmapError::couldNotCreateContext();
    const auto column = static_cast<std::size_t>(static_cast<std::int64_t>(x));
    const auto row = static_cast<std::size_t>(static_cast<std::int64_t>(y));
    auto* pixel = image_.pixels.data() + (static_cast<std::size_t>(image_.width) * row + column) * 4;
    AudColor color(pixel[0], pixel[1], pixel[2], pixel[3]);
    if (clear) std::fill(pixel, pixel + 4, std::uint8_t{0});
    return color;
}

std::int64_t ColorBucket::totalCount() const {
    std::int64_t total = 0;
    for (const auto& [color, runs] : bucket)
        for (const auto run : runs) total += run;
    return total;
}

}  // namespace audkit
