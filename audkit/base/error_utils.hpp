#pragma once

#include <functional>

namespace audkit {

class ErrorUtils {
public:
    // Runs the operation and logs its error instead of throwing. Returns whether
    // it succeeded.
    static bool runAndLog(const std::function<void()>& operation) noexcept;
};

}  // namespace audkit
