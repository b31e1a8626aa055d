#pragma once

#include <memory>

#include "audkit/rules/aud_conf.hpp"
#include "audkit/tree/aud_context.hpp"

namespace audkit {

// The context of one scan of the element: the capture, plus the application's
// frames in each orientation when the configuration runs the orientation rule
// (turning a real device takes seconds, so it is done only then), and the
// application captured again with larger text when it runs the dynamic-type
// rule (which drives Settings twice). Throws what makeContext throws.
std::shared_ptr<AudContext> captureContext(Platform& platform, UIElement& element, const AudConf& configuration);

}  // namespace audkit
