#pragma once

#include <memory>
#include <optional>
#include <string>

#include "audkit/tree/snapshot_source.hpp"

namespace audkit {

// Starting, activating and ending applications, and the test runner's own
// identity.
class ApplicationControl {
public:
    virtual ~ApplicationControl() = default;
    // The element of the application with this bundle identifier.
    virtual std::shared_ptr<UIElement> application(const std::string& bundleIdentifier) = 0;
    // Each returns once the application has started, come to the front or ended.
    virtual void launch(const std::string& bundleIdentifier) = 0;
    virtual void activate(const std::string& bundleIdentifier) = 0;
    virtual void terminate(const std::string& bundleIdentifier) = 0;
    // The test runner's bundle identifier, when it has one.
    virtual std::optional<std::string> runnerBundleIdentifier() = 0;
};

}  // namespace audkit
