#include "tools/audkit-server/auth/login_limiter.hpp"

#include <algorithm>

namespace audkit::server {

std::int64_t LoginLimiter::waitOf(std::map<std::string, Failures>& table, const std::string& name, int limit,
                                  Clock::time_point now) {
    const auto found = table.find(name);
    if (found == table.end()) return 0;
    const auto ends = found->second.first + window_;
    if (now >= ends) {
        table.erase(found);  // the window passed: forgotten, so the table stays small
        return 0;
    }
    if (found->second.count < limit) return 0;
    return std::max<std::int64_t>(1, std::chrono::ceil<std::chrono::seconds>(ends - now).count());
}

void LoginLimiter::note(std::map<std::string, Failures>& table, const std::string& name, Clock::time_point now) {
    auto& failures = table[name];
    if (failures.count == 0 || now >= failures.first + window_) failures = {0, now};
    ++failures.count;
}

std::int64_t LoginLimiter::waitFor(const std::string& user, const std::string& address, Clock::time_point now) {
    const std::lock_guard lock(mutex_);
    return std::max(waitOf(byUser_, user, limit_, now), waitOf(byAddress_, address, 4 * limit_, now));
}

void LoginLimiter::failed(const std::string& user, const std::string& address, Clock::time_point now) {
    const std::lock_guard lock(mutex_);
    note(byUser_, user, now);
    note(byAddress_, address, now);
}

void LoginLimiter::succeeded(const std::string& user) {
    const std::lock_guard lock(mutex_);
    byUser_.erase(user);
}

}  // namespace audkit::server
