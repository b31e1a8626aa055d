#pragma once

#include <cstdint>
#include <string>

namespace audkit::cli {

// The name that stands for standard input where a file is expected.
inline constexpr const char* standardInput = "-";

// A file given on the command line (a dump, a baseline, a configuration),
// read whole: a regular file of at most `largest` bytes, else a UsageError
// naming it and what it is (a FIFO or a device would block or never end).
// "-" reads standard input, to the same limit.
std::string readInputFile(const std::string& path, std::uintmax_t largest, const std::string& what);

}  // namespace audkit::cli
