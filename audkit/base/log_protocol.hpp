#pragma once

#include <optional>
#include <string>

namespace audkit {

enum class LogLevel : int { log = 0, warning = 1, error = 2 };

// Anything the logger can print: a level, whether it prints while debug output
// is off, and its message.
class LogProtocol {
public:
    virtual ~LogProtocol() = default;
    virtual LogLevel level() const = 0;
    virtual bool forcePrint() const = 0;
    virtual std::optional<std::string> message() const = 0;
};

// Informational messages: printed only while debug output is on.
class DebugMessages : public LogProtocol {
public:
    LogLevel level() const override { return LogLevel::log; }
    bool forcePrint() const override { return false; }
};

// Warnings: printed while debug output is off only when the value forces it.
class WarningMessages : public LogProtocol {
public:
    LogLevel level() const override { return LogLevel::warning; }
    bool forcePrint() const override { return false; }
};

// The role of every library error that reports a message: always printed,
// and a rule that throws one records INCOMPLETE. For an exception the message
// is its description (`what()`).
class ErrorMessages : public LogProtocol {
public:
    LogLevel level() const override { return LogLevel::error; }
    bool forcePrint() const override { return true; }
    std::optional<std::string> message() const override;
};

}  // namespace audkit
