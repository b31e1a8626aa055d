#include <ostream>

#include "audkit/base/error.hpp"
#include "audkit/platform/jpeg_codec.hpp"
#include "tools/audkit/import/bundle_writer.hpp"
#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/import/imported_tree.hpp"
#include "tools/audkit/scan/scan_support.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::cli {
namespace {

// Dumps and screenshots are small; anything larger is no dump.
constexpr std::uintmax_t maxDumpBytes = 64ULL * 1024 * 1024;
constexpr std::uintmax_t maxScreenshotBytes = 256ULL * 1024 * 1024;
// As the bundle reader accepts.
constexpr std::uint32_t maxScreenshotSide = 4096;

// A PNG, or a JPEG (as screenshots are often saved), made the bundle's PNG.
RgbaImage readScreenshot(const std::string& path) {
    const auto bytes = readInputFile(path, maxScreenshotBytes, "screenshot");
    try {
        auto image = decodeImage(bytes);
        if (image.width > maxScreenshotSide || image.height > maxScreenshotSide)
            throw ImportError(path + ": " + std::to_string(image.width) + "x" + std::to_string(image.height) +
                              " pixels is larger than the " + std::to_string(maxScreenshotSide) +
                              " pixels a side a screenshot may have");
        return image;
    } catch (const Error& error) {
        throw ImportError(path + ": " + error.what());
    }
}

}  // namespace

int runImport(const ImportOptions& options, std::ostream& out, std::ostream& err) {
    try {
        std::optional<RgbaImage> screenshot;
        if (!options.screenshot.empty()) screenshot = readScreenshot(options.screenshot);
        ImportedTree tree;
        std::string document;
        std::vector<std::string> warnings;
        try {
            tree = readAccessibilityDump(readInputFile(options.dump, maxDumpBytes, "dump"));
            document = captureDocument(tree, screenshot, warnings);
        } catch (const ImportError& error) {
            throw ImportError(options.dump + ": " + error.what());
        }
        writeImportedBundle(options.output, document, screenshot);
        for (const auto& warning : warnings) err << "audkit: " << options.dump << ": " << warning << '\n';
        out << options.output << ": " << tree.format << " imported"
            << (screenshot ? " with its screenshot" : " without a screenshot") << '\n';
        return exitSuccess;
    } catch (const std::exception& error) {
        err << "audkit: " << failureLine(error) << '\n';
        return exitUsage;
    }
}

}  // namespace audkit::cli
