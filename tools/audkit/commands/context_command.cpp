#include <nlohmann/json.hpp>
#include <ostream>

#include "audkit/base/error.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/tree/aud_context.hpp"
#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::cli {

int runContext(const ContextOptions& options, std::ostream& out, std::ostream& err) {
    try {
        BundlePlatform platform(CaptureBundle::open(options.bundle));
        const auto context = makeContext(platform, *platform.elementUnderTest());
        if (options.json) {
            out << contextToJson(*context).dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
            return exitSuccess;
        }
        const auto& device = context->audDevice;
        const auto& frame = context->screenshot.frame;
        out << context->audMetaData.description() << '\n'
            << "Device: " << device.name << ", " << device.os << " " << device.osVersion << ", screen "
            << number(device.screenWidth) << " x " << number(device.screenHeight) << " pixels at scale "
            << number(device.scale) << '\n'
            << "Screenshot: " << number(frame.width()) << " x " << number(frame.height()) << " pixels"
            << (context->audMetaData.isFullScreenForML ? " (full screen)" : "") << '\n';
        return exitSuccess;
    } catch (const std::exception& error) {  // the library's errors and the reader's alike: one line, exit 2
        err << "audkit: " << failureLine(error) << '\n';
        return exitUsage;
    }
}

}  // namespace audkit::cli
