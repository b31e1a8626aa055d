#pragma once

#include <mutex>
#include <nlohmann/json.hpp>
#include <ostream>

namespace audkit::server {

// One JSON object per line ("time", "level", "event" and the event's
// fields), written whole even when threads log at once. Callers never pass
// secrets: no credential header, password, token or body is ever a field.
class StructuredLog {
public:
    explicit StructuredLog(std::ostream& out) : out_(out) {}
    void write(const std::string& level, const std::string& event,
               const nlohmann::json& fields = nlohmann::json::object());

private:
    std::ostream& out_;
    std::mutex mutex_;
};

}  // namespace audkit::server
