#include "audkit/tree/orientation_probe.hpp"

#include "audkit/tree/accessibility_attribute.hpp"
#include "audkit/tree/attribute_value.hpp"

namespace audkit {
namespace {

std::optional<PlatformRect> frameAfterTurning(Platform& platform, UIElement& application,
                                              DeviceOrientation orientation) {
    if (!platform.device().setOrientation(orientation)) return std::nullopt;
    const auto frame = application.valueForAccessibilityAttribute(attributeKey(AccessibilityAttribute::frame));
    return frame ? attributeRect(*frame) : std::nullopt;
}

}  // namespace

std::optional<OrientationFrames> measureOrientationFrames(Platform& platform,
                                                          const std::optional<std::string>& bundleIdentifier) {
    auto& device = platform.device();
    auto remembered = device.orientation();
    if (remembered == DeviceOrientation::unknown) remembered = DeviceOrientation::portrait;
    const auto application =
        bundleIdentifier ? platform.applicationControl().application(*bundleIdentifier) : platform.elementUnderTest();
    if (!application) return std::nullopt;

    const auto portrait = frameAfterTurning(platform, *application, DeviceOrientation::portrait);
    const auto left =
        portrait ? frameAfterTurning(platform, *application, DeviceOrientation::landscapeLeft) : std::nullopt;
    const auto right =
        left ? frameAfterTurning(platform, *application, DeviceOrientation::landscapeRight) : std::nullopt;
    device.setOrientation(remembered);
    if (!right) return std::nullopt;
    return OrientationFrames{*portrait, *left, *right};
}

}  // namespace audkit
