#include "audkit/tree/larger_text_probe.hpp"

#include <charconv>

#include "audkit/base/process_state.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/tree/snapshot_capture.hpp"
#include "audkit/tree/view_tree_builder.hpp"

namespace audkit {
namespace {

using namespace largertext;

void tapOrThrow(SettingsApp::Element& element, bool tap = true) {
    if (!element.exists()) {
        const auto description = element.description();
        ZKLog::always("ZUNIK ERROR: " + description + " not found in Settings");
        throw SettingsError(description);
    }
    if (tap) element.tap();
}

// Drives Settings to the Larger Text slider and moves it; reads the user's
// position first when it is not known yet.
void setTextSize(Platform& platform, double target, LargerTextCapture& capture, bool readOriginal) {
    auto& control = platform.applicationControl();
    auto& settings = platform.settingsApp();
    control.launch(settingsBundleIdentifier);
    auto accessibility = settings.staticText(accessibilityLabel);
    if (!accessibility->isHittable()) settings.swipeDown();
    tapOrThrow(*accessibility);
    tapOrThrow(*settings.staticText(displayLabel));
    tapOrThrow(*settings.staticText(largerTextLabel));
    // Without the slider the size cannot change, and comparing would fail
    // every text for it: that is a navigation failure too.
    auto slider = settings.firstSlider();
    tapOrThrow(*slider, false);
    if (readOriginal) capture.originalPosition = sliderPosition(slider->value()).value_or(defaultPosition);
    slider->adjust(target);
    capture.changedPosition = sliderPosition(slider->value()).value_or(defaultPosition);
    if (auto back = settings.button(backLabel); back->exists()) back->tap();
    control.terminate(settingsBundleIdentifier);
}

}  // namespace

std::optional<double> largertext::sliderPosition(const std::optional<std::string>& value) {
    if (!value) return std::nullopt;
    double number = 0;
    const auto* begin = value->data();
    const auto result = std::from_chars(begin, begin + value->size(), number);
    if (result.ec != std::errc() || result.ptr == begin) return std::nullopt;
    return number / 100;
}

LargerTextCapture captureWithLargerText(Platform& platform, UIElement& element,
                                        const std::optional<std::string>& bundleIdentifier, const AudBounds& screen) {
    LargerTextCapture capture;
    try {
        setTextSize(platform, largerPosition, capture, true);
    } catch (const SettingsError& error) {
        // Settings is left and the application brought back, as after a change.
        capture.error = error.what();
        platform.applicationControl().terminate(settingsBundleIdentifier);
        platform.applicationControl().activate(bundleIdentifier.value_or(""));
        return capture;
    }
    // The application comes back and is captured as it now shows its text.
    platform.applicationControl().activate(bundleIdentifier.value_or(""));
    processState().clearMembershipCaches();
    if (const auto root = makeRootElement(platform.snapshotSource(), element))
        capture.afterChange = buildTree(platform.snapshotSource(), *root, screen);
    if (!capture.afterChange)
        capture.error =
            "Unable to capture the application after the text size changed. Re-run the "
            "SupportsDynamicType rule or contact Zunik Helpdesk if the problem persists.";
    // The user's own text size is put back; failing to is not the scan's failure.
    try {
        LargerTextCapture restore;
        setTextSize(platform, capture.originalPosition, restore, false);
    } catch (const SettingsError&) {
        platform.applicationControl().terminate(settingsBundleIdentifier);
    }
    platform.applicationControl().activate(bundleIdentifier.value_or(""));
    return capture;
}

}  // namespace audkit
