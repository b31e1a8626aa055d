#include "audkit/base/error_utils.hpp"

#include <exception>
#include <string>

#include "audkit/base/log_protocol.hpp"
#include "audkit/base/zk_log.hpp"

namespace audkit {

bool ErrorUtils::runAndLog(const std::function<void()>& operation) noexcept {
    try {
        operation();
        return true;
    } catch (const ErrorMessages& error) {
        ZKLog::log(error);
    } catch (const std::exception& error) {
        ZKLog::always(std::string("ZUNIK ERROR: ") + error.what());
    } catch (...) {
        ZKLog::always("ZUNIK ERROR: unknown error");
    }
    return false;
}

}  // namespace audkit
