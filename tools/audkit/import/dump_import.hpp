#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace audkit::cli {

// Imports a dump of another tool (and its screenshot, unless empty) into a
// new bundle folder and returns the dump's format. Errors name the dump or the
// screenshot; `warnings` receives what the reader of the dump should know.
std::string importDump(const std::string& dump, const std::string& screenshot, const std::filesystem::path& output,
                       std::vector<std::string>& warnings);

// Whether a path given to scan is a dump rather than a bundle: a file that
// is no capture.json (a bundle's capture.json is a JSON object).
bool isDumpFile(const std::filesystem::path& path);

// The screenshot published beside a dump: its name with .png, .jpg or .jpeg
// in place of its extension; empty when there is none.
std::string screenshotBeside(const std::filesystem::path& dump);

}  // namespace audkit::cli
