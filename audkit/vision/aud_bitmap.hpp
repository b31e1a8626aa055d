#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "audkit/base/aud_rect.hpp"
#include "audkit/base/error.hpp"
#include "audkit/tree/rgba_image.hpp"
#include "audkit/tree/aud_color.hpp"

namespace audkit {

// Pixel access to one decoded image (a crop of the screenshot).
class AudBitmap {
public:
    class BitmapError : public MessageError {
    public:
        static BitmapError couldNotCreateContext() { return BitmapError("Could not create context."); }

    private:
        using MessageError::MessageError;
    };

    explicit AudBitmap(RgbaImage image) : image_(std::move(image)) {}

    std::int64_t width() const { return image_.width; }
    std::int64_t height() const { return image_.height; }
    AudBounds frame() const { return AudBounds(0, static_cast<float>(width()), 0, static_cast<float>(height())); }
    const RgbaImage& image() const { return image_; }

    // The colour at column x, row y (truncated); with `clear` the pixel is
    // then set to transparent black. Throws couldNotCreateContext when the
    // bitmap holds no pixels; the caller keeps x and y inside the bitmap.
    AudColor pixelColor(double x, double y, bool clear = false);

private:
    RgbaImage image_;
};

// Per colour, the lengths of the runs of that colour met along scan lines.
struct ColorBucket {
    // Grouped by red, green and blue: alpha plays no part.
    std::unordered_map<AudColor, std::vector<std::int64_t>> bucket;

    void add(const AudColor& color, std::int64_t runLength) { bucket[color].push_back(runLength); }
    std::int64_t totalCount() const;
};

}  // namespace audkit
