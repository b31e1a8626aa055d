#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "audkit/tree/rgba_image.hpp"
#include "tools/audkit/import/imported_tree.hpp"

namespace audkit::cli {

// The capture.json document of an imported tree: what the dump states, and
// for what it does not, the closest honest equivalent (element class names
// from the element types, visible frames clipped by the screen and the
// scrolling containers, accessibility-element flags and traits inferred from
// the types where the dump has none). Without a screenshot, "screenshot" is
// null and the scale is 3; with one, the scale is its width over the root's.
// `warnings` receives what the reader of the dump should know.
std::string captureDocument(const ImportedTree& tree, const std::optional<RgbaImage>& screenshot,
                            std::vector<std::string>& warnings);

// Writes capture.json (and screenshot.png) into `folder`, which must not exist
// yet or be empty: nothing is ever overwritten.
void writeImportedBundle(const std::filesystem::path& folder, const std::string& captureDocument,
                         const std::optional<RgbaImage>& screenshot);

}  // namespace audkit::cli
