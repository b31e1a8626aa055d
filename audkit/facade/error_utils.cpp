#include "audkit/facade/error_utils.hpp"

#include <exception>
#include <string>

#include "audkit/facade/log_protocol.hpp"
#include "audkit/facade/zk_log.hpp"

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
