#include "audkit/base/float_format.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace audkit {
namespace {

template <class Number>
std::string shortest(Number value) {
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return std::string(buffer.data(), result.ptr);
}

template <class Number>
std::string describe(Number value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    std::string text = shortest(value);
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
}

}  // namespace

std::string describeFloat(float value) { return describe(value); }
std::string describeDouble(double value) { return describe(value); }

double jsonFloat(float value) {
    if (!std::isfinite(value)) return value;
    return std::strtod(shortest(value).c_str(), nullptr);
}

std::int64_t truncateToInt64(double value) {
    if (std::isnan(value)) return 0;
    constexpr double limit = 9223372036854775808.0;  // 2^63
    if (value >= limit) return std::numeric_limits<std::int64_t>::max();
    if (value < -limit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

}  // namespace audkit
