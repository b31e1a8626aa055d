#pragma once

#include <fstream>
#include <string>

namespace audkit::cli {

// A report file written beside its target ("<path>.partial") and moved over
// it only when whole, so a failed or interrupted write never leaves half a
// document nor loses the one that was there.
class OutputFile {
public:
    explicit OutputFile(std::string path);
    ~OutputFile();  // an uncommitted file is removed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    std::ostream& stream() { return file_; }
    // Where it is being written (to read back what was written so far).
    const std::string& partialPath() const { return partial_; }
    // Moves the written file over the target; throws UsageError naming it when
    // the file could not be written or moved.
    void commit();

private:
    std::string path_, partial_;
    std::ofstream file_;
    bool committed_ = false;
};

// The whole document at once.
void writeDocument(const std::string& path, const std::string& document);

}  // namespace audkit::cli
