#pragma once

#include <cstdint>
#include <string>

namespace audkit {

// The shortest decimal form of a 32-bit float that reads back to the same
// value, written as the platform describes floats: "1.5", "32767.0", "inf",
// "-inf", "nan", "1e+10".
std::string describeFloat(float value);
std::string describeDouble(double value);

// The double whose shortest form equals the float's shortest form, so JSON
// writes 0.3f as 0.3 rather than 0.30000001192092896.
double jsonFloat(float value);

// Truncates toward zero, saturating at the ends of the 64-bit range (NaN gives 0).
std::int64_t truncateToInt64(double value);

}  // namespace audkit
