#include "tests/support/test_support.hpp"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "audkit/base/process_state.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/png_codec.hpp"
#include "audkit/tree/snapshot_capture.hpp"
#include "audkit/tree/view_tree_builder.hpp"

namespace audkit::test {

LogCapture::LogCapture() {
    resetProcessState();
    previous_ = ZKLog::setSink([this](std::string_view line) { lines_.emplace_back(line); });
}

LogCapture::~LogCapture() {
    ZKLog::setSink(previous_);
    resetProcessState();
}

bool LogCapture::contains(const std::string& line) const {
    for (const auto& logged : lines_)
        if (logged == line) return true;
    return false;
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("audkit-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

nlohmann::json rect(double x, double y, double width, double height) {
    return {{"X", x}, {"Y", y}, {"Width", width}, {"Height", height}};
}

nlohmann::json attributes(const std::string& className, const nlohmann::json& frame,
                          const std::vector<std::string>& children) {
    return {
        {"XC_kAXXCAttributeElementType", className},
        {"XC_kAXXCAttributeFrame", frame},
        {"XC_kAXXCAttributeVisibleFrame", frame},
        {"XC_kAXXCAttributeTraits", 0},
        {"XC_kAXXCAttributeIsElement", 0},
        {"XC_kAXXCAttributeIsVisible", 1},
        {"XC_kAXXCAttributeIsUserInteractionEnabled", 1},
        {"XC_kAXXCAttributeChildren", children},
    };
}

BundleBuilder::BundleBuilder() {
    document_ = {
        {"format", "audkit-capture"},
        {"version", 1},
        {"device", {{"name", "iPhone 15"}, {"systemName", "iOS"}, {"systemVersion", "17.2"}, {"scale", 3}}},
        {"runner", {{"bundleIdentifier", "com.example.shop.uitests.xctrunner"}}},
        {"root", "app"},
        {"elements", nlohmann::json::object()},
    };
}

nlohmann::json& BundleBuilder::element(const std::string& id, nlohmann::json rawType, nlohmann::json attributes) {
    auto& record = document_["elements"][id];
    record = {{"rawType", std::move(rawType)}, {"attributes", std::move(attributes)}};
    return record["attributes"];
}

std::filesystem::path BundleBuilder::write(const std::filesystem::path& directory) const {
    std::filesystem::create_directories(directory);
    std::ofstream(directory / "capture.json") << document_.dump();
    RgbaImage image;
    image.width = screenshotPixels.first;
    image.height = screenshotPixels.second;
    image.pixels.assign(static_cast<std::size_t>(image.width) * image.height * 4, 255);
    std::ofstream(directory / "screenshot.png", std::ios::binary) << encodePng(image);
    return directory;
}

std::shared_ptr<AudView> buildViewTree(const BundleBuilder& builder, const AudBounds& screen) {
    BundlePlatform platform(CaptureBundle::fromText(builder.document().dump(), "test/capture.json"));
    processState().clearMembershipCaches();
    const auto root = makeRootElement(platform.snapshotSource(), *platform.elementUnderTest());
    return root ? buildTree(platform.snapshotSource(), *root, screen) : nullptr;
}

std::string errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::filesystem::path sourceDir() { return AUDKIT_SOURCE_DIR; }

std::string chromium(const std::string& url, const std::string& screenshot) {
    const TempDir profile;
    std::string command =
        "chromium --headless --no-sandbox --disable-gpu --no-first-run "
        "--disable-background-networking --disable-component-update --virtual-time-budget=10000 --user-data-dir=" +
        profile.path().string() + " --window-size=1100,1400 ";
    command += screenshot.empty() ? "--dump-dom " : "--screenshot=" + screenshot + " ";
    command += "'" + url + "' 2>/dev/null";
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[4096];
    while (const auto read = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, read);
    ::pclose(pipe);
    return output;
}

}  // namespace audkit::test
