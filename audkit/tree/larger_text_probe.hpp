#pragma once

#include <memory>
#include <optional>
#include <string>

#include "audkit/base/aud_rect.hpp"
#include "audkit/base/error.hpp"
#include "audkit/tree/platform.hpp"

namespace audkit {

class AudView;

// Where the Larger Text slider lives and where it is moved to.
namespace largertext {
inline constexpr const char* settingsBundleIdentifier = "com.apple.Preferences";
inline constexpr const char* accessibilityLabel = "Accessibility";
inline constexpr const char* displayLabel = "Display & Text Size";
inline constexpr const char* largerTextLabel = "Larger Text";
inline constexpr const char* backLabel = "Back";
inline constexpr double largerPosition = 0.75;
// Assumed when the slider's value cannot be read.
inline constexpr double defaultPosition = 0.5;

// The slider position its value reads as: "50%" is 0.5; none for a value that
// is not text or not a number.
std::optional<double> sliderPosition(const std::optional<std::string>& value);
}  // namespace largertext

// A Settings element that could not be found on the way to the slider.
class SettingsError : public MessageError {
public:
    explicit SettingsError(const std::string& element)
        : MessageError("Unable to navigate to " + element +
                       " within Settings App. Font size will not be adjusted. Re-run the SupportsDynamicType rule "
                       "or contact Zunik Helpdesk if the problem persists.") {}
};

// The application captured again after the Larger Text slider moved.
struct LargerTextCapture {
    // Why the text size could not be changed, or the application not be
    // captured after the change; then there is no tree.
    std::optional<std::string> error;
    std::shared_ptr<AudView> afterChange;
    // The user's slider position, read before the change and restored after.
    double originalPosition = largertext::defaultPosition;
    std::optional<double> changedPosition;
};

// Moves the Larger Text slider to 0.75 through Settings, brings the
// application (by bundle identifier) back, captures the element's tree again,
// and puts the slider back where the user had it. `screen` (in pixels) is the
// screen of the first capture.
LargerTextCapture captureWithLargerText(Platform& platform, UIElement& element,
                                        const std::optional<std::string>& bundleIdentifier, const AudBounds& screen);

}  // namespace audkit
