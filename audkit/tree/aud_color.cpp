#include "audkit/tree/aud_color.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "audkit/base/json_numbers.hpp"

namespace audkit {
namespace {

double linearised(std::uint8_t channel) {
    const double s = channel / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

}  // namespace

AudColor AudColor::fromHex(std::string_view text) {
    if (text.size() != 6 && text.size() != 8) throw CannotDecodeError(text);
    std::array<std::uint8_t, 4> pairs{};
    for (std::size_t i = 0; i < text.size() / 2; ++i) {
        unsigned value = 0;
        const auto* begin = text.data() + i * 2;
        const auto result = std::from_chars(begin, begin + 2, value, 16);
        if (result.ec != std::errc() || result.ptr != begin + 2 || value > 255) throw CannotDecodeError(text);
        pairs[i] = static_cast<std::uint8_t>(value);
    }
    if (text.size() == 8) return AudColor(pairs[1], pairs[2], pairs[3], pairs[0]);
    return AudColor(pairs[0], pairs[1], pairs[2]);
}

std::string AudColor::hex() const {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "%02x%02x%02x", red, green, blue);
    return text.data();
}

double AudColor::relativeLuminance() const {
    return 0.2126 * linearised(red) + 0.7152 * linearised(green) + 0.0722 * linearised(blue);
}

void to_json(Json& json, const AudColor& color) { json = color.hex(); }

AudColor colorFromJson(const Json& json) {
    if (!json.is_object()) return AudColor::fromHex(json.get<std::string>());
    auto channel = [&](const char* key) {
        const auto value = integerAt(json, key);
        if (value < 0 || value > 255) throw AudColor::CannotDecodeError(json.dump());
        return static_cast<std::uint8_t>(value);
    };
    return AudColor(channel("red"), channel("green"), channel("blue"), channel("alpha"));
}

}  // namespace audkit
