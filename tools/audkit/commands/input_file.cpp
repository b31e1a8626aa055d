#include "tools/audkit/commands/input_file.hpp"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "tools/audkit/commands/commands.hpp"

namespace audkit::cli {

std::string readInputFile(const std::string& path, std::uintmax_t largest, const std::string& what) {
    namespace fs = std::filesystem;
    if (path == standardInput) {
        // Read a piece at a time to one byte past the limit, so that a larger
        // input is refused without being held.
        std::string text;
        std::array<char, 1 << 16> piece;
        while (text.size() <= largest && std::cin.read(piece.data(), piece.size()).gcount() > 0)
            text.append(piece.data(), static_cast<std::size_t>(std::cin.gcount()));
        if (text.size() > largest)
            throw UsageError("standard input: larger than " + std::to_string(largest / (1024 * 1024)) + " MB, so no " +
                             what);
        if (text.empty()) throw UsageError("standard input: empty, so no " + what);
        return text;
    }
    std::error_code error;
    const auto status = fs::status(path, error);
    if (error || !fs::exists(status)) throw UsageError(path + ": no such " + what);
    if (!fs::is_regular_file(status)) throw UsageError(path + ": not a regular file, so no " + what);
    if (fs::file_size(path, error) > largest)
        throw UsageError(path + ": larger than " + std::to_string(largest / (1024 * 1024)) + " MB, so no " + what);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw UsageError(path + ": cannot be read (" + std::string(std::strerror(errno)) + ")");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace audkit::cli
