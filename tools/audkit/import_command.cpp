#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>

#include "audkit/base/error.hpp"
#include "audkit/platform/jpeg_codec.hpp"
#include "tools/audkit/bundle_writer.hpp"
#include "tools/audkit/commands.hpp"
#include "tools/audkit/imported_tree.hpp"
#include "tools/audkit/text_output.hpp"

namespace audkit::cli {
namespace {

// Dumps and screenshots are small; anything larger is no dump.
constexpr std::uintmax_t maxDumpBytes = 64ULL * 1024 * 1024;
constexpr std::uintmax_t maxScreenshotBytes = 256ULL * 1024 * 1024;
// As the bundle reader accepts.
constexpr std::uint32_t maxScreenshotSide = 4096;

std::string readFile(const std::string& path, std::uintmax_t largest) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) throw ImportError(path + ": no such file");
    if (std::filesystem::file_size(path, error) > largest)
        throw ImportError(path + ": larger than " + std::to_string(largest / (1024 * 1024)) + " MB");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ImportError(path + ": cannot be opened");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A PNG, or a JPEG (as screenshots are often saved), made the bundle's PNG.
RgbaImage readScreenshot(const std::string& path) {
    try {
        auto image = decodeImage(readFile(path, maxScreenshotBytes));
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
            tree = readAccessibilityDump(readFile(options.dump, maxDumpBytes));
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
