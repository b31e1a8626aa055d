#pragma once

#include <string>
#include <string_view>

#include "audkit/base/error.hpp"

namespace audkit {

class Files {
public:
    class FileNotSaved : public MessageError {
    public:
        explicit FileNotSaved(const std::string& path)
            : MessageError("Could not save file at location " + path), path_(path) {}
        const std::string& path() const { return path_; }

    private:
        std::string path_;
    };

    // Writes data to directory/name.extension, or name-1, name-2, ... when that
    // exists: an existing file is never overwritten. Creates the directory.
    // Returns the path written.
    // directory + name with a slash between them only when neither side has one.
    static std::string joinPath(const std::string& directory, const std::string& name);

    static std::string save(std::string_view data, const std::string& directory, const std::string& name,
                            const std::string& extension);
};

}  // namespace audkit
