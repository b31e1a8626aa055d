#pragma once

#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "audkit/base/zk_log.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit::test {

// Captures every log line for the lifetime of the object and resets the
// process-wide state before and after.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<std::string>& lines() const { return lines_; }
    bool contains(const std::string& line) const;

private:
    std::vector<std::string> lines_;
    ZKLog::Sink previous_;
};

// A fresh directory under the system's temporary directory, removed afterwards.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A capture.json document built in code: device and root set, elements added
// one by one.
class BundleBuilder {
public:
    BundleBuilder();

    // Adds (or replaces) an element; returns its attributes for further edits.
    nlohmann::json& element(const std::string& id, nlohmann::json rawType, nlohmann::json attributes);
    nlohmann::json& document() { return document_; }
    const nlohmann::json& document() const { return document_; }

    // Writes capture.json and an opaque white screenshot into the directory.
    std::filesystem::path write(const std::filesystem::path& directory) const;
    // The screenshot's width and height in pixels: small, unless a test needs
    // its views to lie on the screen.
    std::pair<unsigned, unsigned> screenshotPixels{4, 8};

private:
    nlohmann::json document_;
};

// An attribute dictionary in the recorded form with the usual members set.
nlohmann::json attributes(const std::string& className, const nlohmann::json& frame,
                          const std::vector<std::string>& children = {});
nlohmann::json rect(double x, double y, double width, double height);

// The view tree of a capture built in code (membership caches emptied first),
// or null when its root cannot be read.
std::shared_ptr<AudView> buildViewTree(const BundleBuilder& builder, const AudBounds& screen = {});

// What a command of the scanner answered: its exit status and what it wrote
// on standard output and standard error.
struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

// The message of the library error the call throws, or "no error".
std::string errorOf(const std::function<void()>& call);

std::string readFile(const std::filesystem::path& path);

// What headless Chromium (Debian's) makes of a page: the DOM once its scripts
// ran and the navigations they started ended, or (with a screenshot path) a
// picture of it. A fresh profile each time: no cookie is kept.
std::string chromium(const std::string& url, const std::string& screenshot = "");
std::filesystem::path sourceDir();

}  // namespace audkit::test
