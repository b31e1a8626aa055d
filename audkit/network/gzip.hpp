#pragma once

#include <string>
#include <string_view>

#include "audkit/base/error.hpp"

namespace audkit {

class GzipError : public MessageError {
public:
    enum class Kind { unknown, stream, data, memory, buffer, version };

    GzipError(int code, const char* streamMessage);
    Kind kind() const { return kind_; }
    int code() const { return code_; }

private:
    Kind kind_;
    int code_;
};

// gzip-compressed bytes (a gzip header and trailer with window bits 31);
// empty input gives empty output. Throws GzipError.
std::string gzipped(std::string_view bytes, int level = -1, int windowBits = 31);

}  // namespace audkit
