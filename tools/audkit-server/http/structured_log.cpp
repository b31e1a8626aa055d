#include "tools/audkit-server/http/structured_log.hpp"

#include <chrono>
#include <ctime>

namespace audkit::server {
namespace {

// UTC to the millisecond: "2026-12-10T02:30:00.123Z".
std::string timestamp() {
    const auto now = std::chrono::system_clock::now();
    const auto seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[40];
    const auto length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
    std::snprintf(text + length, sizeof text - length, ".%03dZ", static_cast<int>(millis));
    return text;
}

}  // namespace

void StructuredLog::write(const std::string& level, const std::string& event, const nlohmann::json& fields) {
    nlohmann::ordered_json line{{"time", timestamp()}, {"level", level}, {"event", event}};
    for (const auto& [name, value] : fields.items()) line[name] = value;
    const auto text = line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    const std::lock_guard lock(mutex_);
    out_ << text << '\n' << std::flush;
}

}  // namespace audkit::server
