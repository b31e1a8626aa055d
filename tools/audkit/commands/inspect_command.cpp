#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <ostream>

#include "audkit/base/error.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/recognition_languages.hpp"
#include "audkit/platform/tesseract_recognizer.hpp"
#include "audkit/tree/aud_context.hpp"
#include "audkit/tree/aud_view_json.hpp"
#include "audkit/tree/element_tree_walk.hpp"
#include "audkit/vision/found_text.hpp"
#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::cli {
namespace {

std::string describeElement(const AudElement& element) {
    std::string line = element.className + " " + std::string(toString(element.elementType));
    if (element.name) line += " name=" + quote(*element.name);
    if (const auto state = element.state()) line += " state=" + quote(*state);
    if (const auto text = element.text()) line += " text=" + quote(*text);
    const auto& frame = element.frame;
    line += " frame=(x: " + number(frame.x) + ", y: " + number(frame.y) + ", w: " + number(frame.width) +
            ", h: " + number(frame.height) + ")";
    return line;
}

std::string describeView(const AudView& view) {
    std::string line =
        view.className + " " + std::string(toString(view.elementType)) + " " + std::string(toString(view.role));
    if (view.name) line += " name=" + quote(*view.name);
    line += std::string(" focusable=") + (view.isAccessibilityFocusable ? "true" : "false");
    line += std::string(" visible=") + (view.isVisibleToUser ? "true" : "false");
    const auto& b = view.boundsInScreen;
    line += " bounds=(l: " + number(b.left()) + ", t: " + number(b.top()) + ", r: " + number(b.right()) +
            ", b: " + number(b.bottom()) + ")";
    if (const auto label = view.associatedTextForControl())
        line += " associatedText=" + quote(label->text().value_or(""));
    return line;
}

std::string rootUnreadable(const BundlePlatform& platform) {
    return platform.bundle().capturePath().string() + ": the attributes of the root element \"" +
           platform.bundle().rootId() + "\" cannot be read";
}

// The tree as the scan builds it: the same context, so headers and footers
// are placed on the same screen.
int printTree(BundlePlatform& platform, const InspectOptions& options, std::ostream& out, std::ostream& err) {
    std::shared_ptr<AudView> root;
    try {
        root = makeContext(platform, *platform.elementUnderTest())->audView;
    } catch (const ContextError& error) {
        if (std::string_view(error.what()) != ContextError::unableToGetViewHierarchy().what()) throw;
        err << "audkit: " << rootUnreadable(platform) << '\n';
        return exitUsage;
    }
    if (options.json) {
        out << viewToJson(*root).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
        return exitSuccess;
    }
    std::vector<std::pair<const AudView*, std::size_t>> stack{{root.get(), 0}};
    while (!stack.empty()) {
        const auto [view, depth] = stack.back();
        stack.pop_back();
        out << indentation(depth) << describeView(*view) << '\n';
        for (auto child = view->children.rbegin(); child != view->children.rend(); ++child)
            stack.emplace_back(child->get(), depth + 1);
    }
    return exitSuccess;
}

// What recognition reads on the screenshot, line by line, as the scan
// receives it: the text, its frame in points and the estimated font size.
int printText(BundlePlatform& platform, const InspectOptions& options, std::ostream& out, std::ostream& err) {
    if (!platform.screen().hasScreenshot()) {
        err << "audkit: " << platform.bundle().capturePath().string() << ": the capture has no screenshot to read\n";
        return exitUsage;
    }
    auto screenshot = platform.screen().screenshot();
    // As the scan reads it: in the screen's own languages unless given.
    auto languages = options.languages;
    if (languages.empty()) {
        const auto chosen =
            languagesForTexts(platform.bundle().recordedTexts(), TesseractRecognizer::installedLanguages());
        for (const auto& code : chosen.missing) err << "audkit: " << missingModelNote(code) << "\n";
        languages = chosen.languages;
    }
    TesseractRecognizer recognizer(languages);
    TextDetectionHelper helper(std::move(screenshot.image), screenshot.scale);
    helper.detectText(recognizer);
    for (const auto& found : helper.foundText) {
        const auto& r = found.rect;
        const float scale = screenshot.scale;
        std::array<char, 96> line{};
        std::snprintf(line.data(), line.size(), " frame=(x: %.1f, y: %.1f, w: %.1f, h: %.1f) font=%.1fpt",
                      r.left() / scale, r.top() / scale, r.width() / scale, r.height() / scale,
                      found.estimatedFontSize);
        out << quote(found.text) << line.data() << '\n';
    }
    return exitSuccess;
}

}  // namespace

int runInspect(const InspectOptions& options, std::ostream& out, std::ostream& err) {
    try {
        BundlePlatform platform(CaptureBundle::open(options.bundle));
        if (options.tree) return printTree(platform, options, out, err);
        if (options.text) return printText(platform, options, out, err);
        const bool readable = walkCapturedElements(platform.snapshotSource(), *platform.elementUnderTest(),
                                                   [&](const AudElement& element, std::size_t depth) {
                                                       out << indentation(depth) << describeElement(element) << '\n';
                                                   });
        if (!readable) {
            err << "audkit: " << rootUnreadable(platform) << '\n';
            return exitUsage;
        }
        return exitSuccess;
    } catch (const std::exception& error) {  // the library's errors and the reader's alike: one line, exit 2
        err << "audkit: " << failureLine(error) << '\n';
        return exitUsage;
    }
}

}  // namespace audkit::cli
