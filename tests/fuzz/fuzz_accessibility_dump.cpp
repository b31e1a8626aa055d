// The importer's readers of other tools' dumps (XML page sources, XCTest debug
// descriptions) and the capture document made from them: any text imports or
// gives ImportError, and what imports opens as a capture bundle.
#include <cstddef>
#include <cstdint>
#include <string>

#include "audkit/platform/capture_bundle.hpp"
#include "tools/audkit/import/bundle_writer.hpp"
#include "tools/audkit/import/imported_tree.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace audkit;
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const auto tree = cli::readAccessibilityDump(text);
        std::vector<std::string> warnings;
        const auto document = cli::captureDocument(tree, std::nullopt, warnings);
        (void)CaptureBundle::fromText(document, "imported/capture.json");
    } catch (const cli::ImportError&) {
    }
    return 0;
}
