#pragma once

#include <string>
#include <unordered_map>

#include "tools/audkit/import/imported_tree.hpp"

namespace audkit::cli {

// The elements of an imported tree that the system draws, not the application
// under test, each with what it is ("the status bar", "Safari's browser
// controls"): the team cannot change them, so the scan does not judge them
// unless asked to. Recognised from the dump's own structure: the status bar
// and the keyboard, scroll indicators, the navigation bar's standard back
// button, everything of SpringBoard (the home screen and its permission
// alerts), and in Safari everything outside the web page.
std::unordered_map<const ImportedElement*, std::string> systemElements(const ImportedElement& root);

}  // namespace audkit::cli
