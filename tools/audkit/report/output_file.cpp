#include "tools/audkit/report/output_file.hpp"

#include <filesystem>

#include "tools/audkit/commands/commands.hpp"

namespace audkit::cli {

OutputFile::OutputFile(std::string path)
    : path_(std::move(path)), partial_(path_ + ".partial"), file_(partial_, std::ios::binary | std::ios::trunc) {
    if (!file_) throw UsageError("cannot write " + path_);
}

OutputFile::~OutputFile() {
    if (committed_) return;
    file_.close();
    std::error_code ignored;
    std::filesystem::remove(partial_, ignored);
}

void OutputFile::commit() {
    if (!file_.flush()) throw UsageError("cannot write " + path_);
    file_.close();
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

}  // namespace audkit::cli
