#include "audkit/base/number_formatter_helper.hpp"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <locale>
#include <sstream>

namespace audkit {
namespace {

std::locale currentLocale() {
    try {
        return std::locale("");
    } catch (const std::runtime_error&) {
        return std::locale::classic();  // an unknown LANG falls back to the C locale
    }
}

}  // namespace

const NumberFormatterHelper& NumberFormatterHelper::shared() {
    static const NumberFormatterHelper helper;
    return helper;
}

std::string NumberFormatterHelper::percentage(double value) const {
    if (!std::isfinite(value)) return nanString;
    std::ostringstream out;
    out.imbue(currentLocale());
    out << std::fixed << std::setprecision(2) << std::min(std::fabs(value) * 100.0, 100.0);
    std::string text = out.str();
    if (text.empty()) return nanString;
    return text + "%";
}

}  // namespace audkit
