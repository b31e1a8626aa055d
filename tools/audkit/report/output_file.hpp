#pragma once

#include <ext/stdio_filebuf.h>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

namespace audkit::cli {

// A report file written to a temporary file of its own beside the target
// (made new, never one that was there: a planted link cannot redirect it) and
// moved over the target only when whole, so a failed or interrupted write
// never leaves half a document nor loses the one that was there. The
// temporary file goes on every error.
class OutputFile {
public:
    explicit OutputFile(std::string path);
    ~OutputFile();  // an uncommitted file is removed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    std::ostream& stream() { return stream_; }
    // Where it is being written (to read back what was written so far).
    const std::filesystem::path& partialPath() const { return partial_; }
    // Moves the written file over the target; throws UsageError naming it and
    // why when the file could not be written or moved.
    void commit();

private:
    std::string path_;
    std::filesystem::path partial_;
    std::unique_ptr<__gnu_cxx::stdio_filebuf<char>> buffer_;
    std::ostream stream_{nullptr};
    bool committed_ = false;
};

// The whole document at once.
void writeDocument(const std::string& path, const std::string& document);

// A new folder of its own beside `target` for writing a tree that is then
// moved into place ("<target>.XXXXXX", made exclusively). Throws UsageError.
std::filesystem::path temporaryFolderBeside(const std::filesystem::path& target);

}  // namespace audkit::cli
