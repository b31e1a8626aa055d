#pragma once

#include <string>

#include "audkit/base/json.hpp"

namespace audkit {

// Receives product-analytics events. Sending never fails the caller: an
// implementation handles its own errors.
class AnalyticsSender {
public:
    virtual ~AnalyticsSender() = default;
    virtual void sendEvent(const std::string& eventType, const Json& eventProperties) = 0;
};

}  // namespace audkit
