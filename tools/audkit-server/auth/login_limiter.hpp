#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

namespace audkit::server {

// Slows password guessing: after `limit` failed logins within `window` for
// one user name, or four times as many from one address (a team behind one
// gateway), further attempts are refused until the window of the first
// failure ends (whatever the password). A success clears the user name's count.
class LoginLimiter {
public:
    using Clock = std::chrono::steady_clock;
    LoginLimiter(int limit = 5, std::chrono::seconds window = std::chrono::minutes(15))
        : limit_(limit), window_(window) {}

    // Seconds to wait before trying again; 0 when an attempt may go ahead.
    std::int64_t waitFor(const std::string& user, const std::string& address, Clock::time_point now);
    void failed(const std::string& user, const std::string& address, Clock::time_point now);
    void succeeded(const std::string& user);

private:
    struct Failures {
        int count = 0;
        Clock::time_point first;
    };
    std::int64_t waitOf(std::map<std::string, Failures>& table, const std::string& name, int limit,
                        Clock::time_point now);
    void note(std::map<std::string, Failures>& table, const std::string& name, Clock::time_point now);

    int limit_;
    std::chrono::seconds window_;
    std::mutex mutex_;
    std::map<std::string, Failures> byUser_, byAddress_;
};

}  // namespace audkit::server
