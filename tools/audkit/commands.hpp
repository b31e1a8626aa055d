#pragma once

#include <iosfwd>
#include <string>

namespace audkit::cli {

// Exit statuses of the scanner.
constexpr int exitSuccess = 0;
constexpr int exitFailures = 1;
constexpr int exitUsage = 2;

struct InspectOptions {
    std::string bundle;
};

// Prints the captured element tree of a bundle, one indented line per element.
int runInspect(const InspectOptions& options, std::ostream& out, std::ostream& err);

}  // namespace audkit::cli
