#include "audkit/rules/rule_screen_orientation.hpp"

#include "audkit/tree/aud_context.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {

AudOrientation RuleScreenOrientation::supportedOrientations(const OrientationFrames& frames) {
    const auto portrait = AudRect::fromPlatform(frames.portrait);
    const auto left = AudRect::fromPlatform(frames.landscapeLeft);
    const auto right = AudRect::fromPlatform(frames.landscapeRight);
    // The application turned when its portrait width became its landscape height.
    if (portrait.width() == left.height() || portrait.width() == right.height()) return AudOrientation::all;
    return portrait.width() < portrait.height() ? AudOrientation::portrait : AudOrientation::landscape;
}

void RuleScreenOrientation::setUp(const AudContext& context) { frames_ = context.orientationFrames; }

std::shared_ptr<AudProps> RuleScreenOrientation::collectProps(const AudView& view) {
    auto props = std::make_shared<AudProps>();
    if (view.parent == nullptr && frames_) props->add(supportedOrientationsKey, supportedOrientations(*frames_));
    return props;
}

AudStatus RuleScreenOrientation::runRule(const AudProps& props) {
    const auto supported = props.get(supportedOrientationsKey);
    if (!supported) return AudStatus::inapplicable;
    return *supported == AudOrientation::all ? AudStatus::pass : AudStatus::fail;
}

}  // namespace audkit
