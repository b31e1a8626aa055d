#include "audkit/base/files.hpp"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "audkit/base/zk_log.hpp"

namespace audkit {

std::string Files::joinPath(const std::string& directory, const std::string& name) {
    const bool directoryEndsWithSlash = !directory.empty() && directory.back() == '/';
    const bool nameStartsWithSlash = !name.empty() && name.front() == '/';
    if (directoryEndsWithSlash || nameStartsWithSlash) return directory + name;
    return directory + "/" + name;
}

std::string Files::save(std::string_view data, const std::string& directory, const std::string& name,
                        const std::string& extension) {
    std::filesystem::create_directories(directory);  // throws filesystem_error on failure

    const std::string base = joinPath(directory, name);
    std::string candidate = base + "." + extension;
    for (unsigned long n = 1;; ++n) {
        // "x": exclusive creation, so a file that appears meanwhile is not overwritten either.
        std::FILE* file = std::fopen(candidate.c_str(), "wbx");
        if (file != nullptr) {
            const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
            const bool closed = std::fclose(file) == 0;
            if (!written || !closed) throw FileNotSaved(candidate);
            ZKLog::always("ZUNIK LOG: File successfully saved at " + candidate + ".");
            return candidate;
        }
        std::error_code ignored;
        if (errno != EEXIST && !std::filesystem::exists(candidate, ignored)) throw FileNotSaved(candidate);
        candidate = base + "-" + std::to_string(n) + "." + extension;
    }
}

}  // namespace audkit
