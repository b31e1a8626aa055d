#include "tools/audkit/import/dump_import.hpp"

#include <fstream>

#include "audkit/base/error.hpp"
#include "audkit/platform/jpeg_codec.hpp"
#include "tools/audkit/commands/input_file.hpp"
#include "tools/audkit/import/bundle_writer.hpp"
#include "tools/audkit/import/imported_tree.hpp"

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

std::string importDump(const std::string& dump, const std::string& screenshotPath, const std::filesystem::path& output,
                       std::vector<std::string>& warnings) {
    std::optional<RgbaImage> screenshot;
    if (!screenshotPath.empty()) screenshot = readScreenshot(screenshotPath);
    ImportedTree tree;
    std::string document;
    try {
        tree = readAccessibilityDump(readInputFile(dump, maxDumpBytes, "dump"));
        document = captureDocument(tree, screenshot, warnings);
    } catch (const ImportError& error) {
        throw ImportError(dump + ": " + error.what());
    }
    writeImportedBundle(output, document, screenshot);
    return tree.format;
}

bool isDumpFile(const std::filesystem::path& path) {
    if (path == standardInput) return true;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) || path.filename() == "capture.json") return false;
    std::ifstream in(path, std::ios::binary);
    char first = 0;
    while (in.get(first) && (first == ' ' || first == '\t' || first == '\n' || first == '\r')) {}
    return in && first != '{';
}

std::string screenshotBeside(const std::filesystem::path& dump) {
    if (dump == standardInput) return {};
    for (const char* extension : {".png", ".jpg", ".jpeg"}) {
        auto candidate = dump;
        candidate.replace_extension(extension);
        std::error_code error;
        if (candidate != dump && std::filesystem::is_regular_file(candidate, error)) return candidate.string();
    }
    return {};
}

}  // namespace audkit::cli
