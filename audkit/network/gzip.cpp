#include "audkit/network/gzip.hpp"

#include <limits>
#include <zlib.h>

namespace audkit {
namespace {

constexpr std::size_t chunk = 16384;

GzipError::Kind kindOf(int code) {
    switch (code) {
        case Z_STREAM_ERROR: return GzipError::Kind::stream;
        case Z_DATA_ERROR: return GzipError::Kind::data;
        case Z_MEM_ERROR: return GzipError::Kind::memory;
        case Z_BUF_ERROR: return GzipError::Kind::buffer;
        case Z_VERSION_ERROR: return GzipError::Kind::version;
        default: return GzipError::Kind::unknown;
    }
}

}  // namespace

GzipError::GzipError(int code, const char* streamMessage)
    : MessageError(streamMessage != nullptr ? streamMessage : "Unknown gzip error"), kind_(kindOf(code)), code_(code) {}

std::string gzipped(std::string_view bytes, int level, int windowBits) {
    if (bytes.empty()) return {};
    if (bytes.size() > std::numeric_limits<uInt>::max())
        throw GzipError(Z_BUF_ERROR, "input too large for one gzip stream");
    z_stream stream{};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    if (const int status = deflateInit2(&stream, level, Z_DEFLATED, windowBits, 9, Z_DEFAULT_STRATEGY); status != Z_OK)
        throw GzipError(status, stream.msg);
    std::string output(chunk, '\0');
    int status = Z_OK;
    while (status == Z_OK) {
        if (stream.total_out >= output.size()) output.resize(output.size() + chunk);
        stream.next_out = reinterpret_cast<Bytef*>(output.data() + stream.total_out);
        stream.avail_out = static_cast<uInt>(output.size() - stream.total_out);
        status = deflate(&stream, Z_FINISH);
    }
    const auto produced = stream.total_out;
    const std::string message = stream.msg != nullptr ? stream.msg : "";
    deflateEnd(&stream);
    if (status != Z_STREAM_END) throw GzipError(status, message.empty() ? nullptr : message.c_str());
    output.resize(produced);
    return output;
}

}  // namespace audkit
