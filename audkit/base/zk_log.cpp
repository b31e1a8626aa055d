#include "audkit/base/zk_log.hpp"

#include <cstdio>
#include <utility>

#include "audkit/base/process_state.hpp"

namespace audkit {
namespace {

void writeToStandardError(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fputc('\n', stderr);
    std::fflush(stderr);
}

ZKLog::Sink& currentSink() {
    static ZKLog::Sink sink = writeToStandardError;
    return sink;
}

void emit(std::string_view line) {
    const auto& sink = currentSink();
    if (sink) sink(line);
}

}  // namespace

std::string_view ZKLog::levelWord(LogLevel level) {
    switch (level) {
        case LogLevel::log: return "LOG";
        case LogLevel::warning: return "WARNING";
        case LogLevel::error: return "ERROR";
    }
    return "LOG";
}

std::string ZKLog::line(LogLevel level, std::string_view message) {
    std::string text = "ZUNIK ";
    text += levelWord(level);
    text += ": ";
    text += message;
    return text;
}

void ZKLog::log(const LogProtocol& message) {
    if (!processState().debugStatements && !message.forcePrint()) return;
    emit(line(message.level(), message.message().value_or("")));
}

void ZKLog::debug(std::string_view text) {
    if (processState().debugStatements) emit(line(LogLevel::log, text));
}

void ZKLog::always(std::string_view text) { emit(text); }

ZKLog::Sink ZKLog::setSink(Sink sink) { return std::exchange(currentSink(), std::move(sink)); }

}  // namespace audkit
