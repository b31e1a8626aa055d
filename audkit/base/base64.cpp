#include "audkit/base/base64.hpp"

#include <array>

namespace audkit {
namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int, 256> decodingTable() {
    std::array<int, 256> table{};
    for (auto& entry : table) entry = -1;
    for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(alphabet[i])] = i;
    return table;
}

}  // namespace

std::string base64Encode(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned value = (static_cast<unsigned char>(bytes[i]) << 16U) |
                               (static_cast<unsigned char>(bytes[i + 1]) << 8U) |
                               static_cast<unsigned char>(bytes[i + 2]);
        text += alphabet[(value >> 18U) & 63U];
        text += alphabet[(value >> 12U) & 63U];
        text += alphabet[(value >> 6U) & 63U];
        text += alphabet[value & 63U];
    }
    if (i < bytes.size()) {
        unsigned value = static_cast<unsigned char>(bytes[i]) << 16U;
        const bool two = i + 1 < bytes.size();
        if (two) value |= static_cast<unsigned char>(bytes[i + 1]) << 8U;
        text += alphabet[(value >> 18U) & 63U];
        text += alphabet[(value >> 12U) & 63U];
        text += two ? alphabet[(value >> 6U) & 63U] : '=';
        text += '=';
    }
    return text;
}

std::optional<std::string> base64Decode(std::string_view text) {
    static constexpr auto table = decodingTable();
    if (text.size() % 4 != 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int values[4];
        int padding = 0;
        for (int j = 0; j < 4; ++j) {
            const char c = text[i + j];
            if (c == '=' && last && j >= 2) {
                values[j] = 0;
                ++padding;
                continue;
            }
            if (padding > 0) return std::nullopt;  // data after padding
            values[j] = table[static_cast<unsigned char>(c)];
            if (values[j] < 0) return std::nullopt;
        }
        const unsigned value = (static_cast<unsigned>(values[0]) << 18U) | (static_cast<unsigned>(values[1]) << 12U) |
                               (static_cast<unsigned>(values[2]) << 6U) | static_cast<unsigned>(values[3]);
        bytes += static_cast<char>((value >> 16U) & 255U);
        if (padding < 2) bytes += static_cast<char>((value >> 8U) & 255U);
        if (padding < 1) bytes += static_cast<char>(value & 255U);
    }
    return bytes;
}

}  // namespace audkit
