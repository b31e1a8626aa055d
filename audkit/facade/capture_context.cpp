#include "audkit/facade/capture_context.hpp"

#include "audkit/rules/aud_rule_id.hpp"

namespace audkit {

std::shared_ptr<AudContext> captureContext(Platform& platform, UIElement& element, const AudConf& configuration) {
    auto context = makeContext(platform, element);
    const auto orientationRule = configuration.rules.find(std::string(toString(AudRuleId::screenOrientation)));
    if (orientationRule != configuration.rules.end() && !orientationRule->second->ignored)
        context->orientationFrames = measureOrientationFrames(platform, configuration.bundleId);
    const auto dynamicTypeRule = configuration.rules.find(std::string(toString(AudRuleId::supportsDynamicType)));
    if (dynamicTypeRule != configuration.rules.end() && !dynamicTypeRule->second->ignored)
        context->largerText = captureWithLargerText(platform, element, configuration.bundleId,
                                                   context->audDevice.screenSize());
    return context;
}

}  // namespace audkit
