#include "tools/audkit/report/output_file.hpp"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "tools/audkit/commands/commands.hpp"

namespace audkit::cli {
namespace {

std::string reason() { return std::strerror(errno); }

// "<target>.XXXXXX" as mkstemp and mkdtemp want it, in writable memory.
std::vector<char> uniqueName(const std::filesystem::path& target) {
    const auto pattern = target.string() + ".XXXXXX";
    return std::vector<char>(pattern.c_str(), pattern.c_str() + pattern.size() + 1);
}

// mkstemp and mkdtemp make what only its owner may read; a report or a
// bundle is as readable as anything else the user makes.
mode_t usual(mode_t mode) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mode & ~mask;
}

}  // namespace

OutputFile::OutputFile(std::string path) : path_(std::move(path)) {
    auto name = uniqueName(path_);
    const int fd = ::mkstemp(name.data());
    if (fd < 0) throw UsageError("cannot write " + path_ + ": " + reason());
    partial_ = name.data();
    (void)::fchmod(fd, usual(0666));
    buffer_ = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(fd, std::ios::out | std::ios::binary);
    stream_.rdbuf(buffer_.get());
}

OutputFile::~OutputFile() {
    buffer_.reset();  // closes the file
    if (committed_) return;
    std::error_code ignored;
    std::filesystem::remove(partial_, ignored);
}

void OutputFile::commit() {
    if (!stream_.flush() || buffer_->close() == nullptr) throw UsageError("cannot write " + path_ + ": " + reason());
    std::error_code error;
    std::filesystem::rename(partial_, path_, error);
    if (error) throw UsageError("cannot write " + path_ + ": " + error.message());
    committed_ = true;
}

void writeDocument(const std::string& path, const std::string& document) {
    OutputFile file(path);
    file.stream() << document;
    file.commit();
}

std::filesystem::path temporaryFolderBeside(const std::filesystem::path& target) {
    auto name = uniqueName(target);
    if (::mkdtemp(name.data()) == nullptr) throw UsageError("cannot create " + target.string() + ": " + reason());
    (void)::chmod(name.data(), usual(0777));
    return name.data();
}

}  // namespace audkit::cli
