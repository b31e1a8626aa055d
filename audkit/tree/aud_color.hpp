#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "audkit/base/error.hpp"
#include "audkit/base/json.hpp"

namespace audkit {

// An 8-bit RGB colour with an optional alpha. Equality and hashing ignore alpha.
class AudColor {
public:
    class CannotDecodeError : public MessageError {
    public:
        explicit CannotDecodeError(std::string_view text)
            : MessageError("Cannot decode AudColor. Hex #" + std::string(text) + " could not be converted.") {}
    };

    AudColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::optional<std::uint8_t> alpha = std::nullopt)
        : red(red), green(green), blue(blue), alpha(alpha) {}
    // RRGGBB (no alpha) or AARRGGBB; throws CannotDecodeError.
    static AudColor fromHex(std::string_view text);

    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    std::optional<std::uint8_t> alpha;

    bool isTransparent() const { return alpha == 0; }
    std::string hex() const;  // "ff8000"
    std::string description() const { return "0x" + hex(); }
    // WCAG 2.0 relative luminance (linearisation threshold 0.03928).
    double relativeLuminance() const;

    bool operator==(const AudColor& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
};

// Written as the hex text; read from {"red","green","blue","alpha"} or the hex text.
void to_json(Json& json, const AudColor& color);
AudColor colorFromJson(const Json& json);

}  // namespace audkit

template <>
struct std::hash<audkit::AudColor> {
    std::size_t operator()(const audkit::AudColor& color) const {
        return (std::size_t{color.red} << 16U) | (std::size_t{color.green} << 8U) | color.blue;
    }
};
