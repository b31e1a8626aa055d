#include <ostream>

#include "audkit/facade/error.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/tree/element_tree_walk.hpp"
#include "tools/audkit/commands.hpp"
#include "tools/audkit/text_output.hpp"

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

}  // namespace

int runInspect(const InspectOptions& options, std::ostream& out, std::ostream& err) {
    try {
        BundlePlatform platform(CaptureBundle::open(options.bundle));
        const bool readable = walkCapturedElements(
            platform.snapshotSource(), *platform.elementUnderTest(),
            [&](const AudElement& element, std::size_t depth) { out << indentation(depth) << describeElement(element) << '\n'; });
        if (!readable) {
            err << "audkit: " << platform.bundle().capturePath().string() << ": the attributes of the root element \""
                << platform.bundle().rootId() << "\" cannot be read\n";
            return exitUsage;
        }
        return exitSuccess;
    } catch (const Error& error) {
        err << "audkit: " << error.what() << '\n';
        return exitUsage;
    }
}

}  // namespace audkit::cli
