#pragma once

#include <string>

namespace audkit {

class NumberFormatterHelper {
public:
    static const NumberFormatterHelper& shared();

    // min(|value| * 100, 100) with two fraction digits in the current locale,
    // followed by "%"; nanString for a non-finite value.
    std::string percentage(double value) const;

    const std::string nanString = "N/A";
};

}  // namespace audkit
