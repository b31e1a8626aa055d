#pragma once

#include <string>

namespace audkit::cli {

// One line of standard input without its line end; throws Error(missing)
// when there is none.
std::string readLine(const std::string& missing);

// A secret from standard input: on a terminal `prompt` is shown on standard
// error and what is typed is not echoed; otherwise the first line is read.
std::string readSecret(const std::string& prompt, const std::string& missing);

}  // namespace audkit::cli
