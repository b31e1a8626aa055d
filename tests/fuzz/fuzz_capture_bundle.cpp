// The capture-bundle reader and the view tree built from what it accepts:
// any bytes as capture.json either give a CaptureBundleError or a tree.
#include <cstddef>
#include <cstdint>
#include <string>

#include "audkit/base/process_state.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/capture_bundle.hpp"
#include "audkit/tree/snapshot_capture.hpp"
#include "audkit/tree/view_tree_builder.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace audkit;
    ZKLog::setSink([](std::string_view) {});
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        BundlePlatform platform(CaptureBundle::fromText(text, "fuzz/capture.json"));
        processState().clearMembershipCaches();
        const auto root = makeRootElement(platform.snapshotSource(), *platform.elementUnderTest());
        if (root) (void)buildTree(platform.snapshotSource(), *root, AudBounds(0, 1170, 0, 2532));
    } catch (const CaptureBundleError&) {
    }
    return 0;
}
