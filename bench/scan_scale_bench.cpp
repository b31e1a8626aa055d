// Whole scans at scale, from a capture bundle on disk to the result: read the
// bundle, build the context, recognise text (recorded: one line per label, so
// the vision rules have work) and run every rule. Two shapes:
//   - 1,000, 10,000 and 100,000 labelled views in rows of thirty: the first
//     thousand fill the screen, the others continue below it like a long list;
//   - a chain of 1,000, 10,000 and 100,000 nested views, each with a label of
//     its own, and a label at the bottom (the depth of a hostile or broken
//     capture; labels on every level make every level's text count).
// Prints the median of 3 runs (1 for the largest) and the growth per tenfold
// size; linear growth reads about 10.
//
//   build/bench/bench_scan_scale
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audkit/facade/aud.hpp"
#include "audkit/facade/capture_context.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/png_codec.hpp"
#include "audkit/rules/aud_conf.hpp"
#include "audkit/tree/text_recognizer.hpp"

namespace {

using namespace audkit;
using Clock = std::chrono::steady_clock;
constexpr double screenWidth = 390, screenHeight = 844;

struct Label {
    std::string text;
    double x, y, width, height;
};

// The recognised lines are the labels themselves, in the recogniser's
// normalised bottom-left coordinates.
class RecordedLines : public TextRecognizer {
public:
    explicit RecordedLines(const std::vector<Label>& labels) {
        for (const auto& label : labels)
            lines_.push_back({label.text, label.x / screenWidth, 1 - (label.y + label.height) / screenHeight,
                              label.width / screenWidth, label.height / screenHeight});
    }
    std::vector<TextObservation> recognize(const RgbaImage&) override { return lines_; }

private:
    std::vector<TextObservation> lines_;
};

std::string frame(double x, double y, double width, double height) {
    return "{\"X\":" + std::to_string(x) + ",\"Y\":" + std::to_string(y) + ",\"Width\":" + std::to_string(width) +
           ",\"Height\":" + std::to_string(height) + "}";
}

std::string element(const std::string& id, int rawType, const std::string& className, const std::string& label,
                    const std::string& where, const std::string& visible, const std::vector<std::string>& children) {
    std::string list;
    for (const auto& child : children) list += (list.empty() ? "\"" : ",\"") + child + "\"";
    return "\"" + id + "\":{\"rawType\":" + std::to_string(rawType) +
           ",\"attributes\":{\"XC_kAXXCAttributeElementType\":\"" + className + "\"" +
           (label.empty() ? "" : ",\"XC_kAXXCAttributeLabel\":\"" + label + "\"") +
           ",\"XC_kAXXCAttributeFrame\":" + where + ",\"XC_kAXXCAttributeVisibleFrame\":" + visible +
           ",\"XC_kAXXCAttributeIsVisible\":1,\"XC_kAXXCAttributeIsElement\":" + (label.empty() ? "0" : "1") +
           ",\"XC_kAXXCAttributeIsUserInteractionEnabled\":1,\"XC_kAXXCAttributeChildren\":[" + list + "]}}";
}

void writeBundle(const std::filesystem::path& directory, const std::string& elements) {
    std::filesystem::create_directories(directory);
    std::ofstream(directory / "capture.json")
        << R"({"format":"audkit-capture","version":1,"device":{"name":"iPhone","systemName":"iOS",)"
           R"("systemVersion":"17","scale":1},"root":"app","elements":{)"
        << elements << "}}";
    RgbaImage white;
    white.width = static_cast<std::uint32_t>(screenWidth);
    white.height = static_cast<std::uint32_t>(screenHeight);
    white.pixels.assign(std::size_t{white.width} * white.height * 4, 255);
    std::ofstream(directory / "screenshot.png", std::ios::binary) << encodePng(white);
}

// Thirty labels a row, 25 pt apart: a thousand fill the screen; the rest lie
// below it, as the rows of a long list do (captured, but not visible).
std::vector<Label> flatScreen(const std::filesystem::path& directory, int count) {
    constexpr int columns = 30;
    constexpr double cellWidth = screenWidth / columns, cellHeight = 25;
    std::vector<Label> shown;
    std::string elements;
    std::vector<std::string> ids;
    for (int i = 0; i < count; ++i) {
        const Label label{"Item" + std::to_string(i), (i % columns) * cellWidth, (i / columns) * cellHeight,
                          cellWidth * 0.8, cellHeight * 0.8};
        ids.push_back("l" + std::to_string(i));
        const bool onScreen = label.y + label.height <= screenHeight;
        elements += element(ids.back(), 48, "UILabel", label.text, frame(label.x, label.y, label.width, label.height),
                            onScreen ? frame(label.x, label.y, label.width, label.height) : frame(0, 0, 0, 0), {}) +
                    ",";
        if (onScreen) shown.push_back(label);
    }
    const auto screen = frame(0, 0, screenWidth, screenHeight);
    elements += element("app", 2, "UIApplication", "", screen, screen, ids);
    writeBundle(directory, elements);
    return shown;
}

std::vector<Label> deepChain(const std::filesystem::path& directory, int depth) {
    const Label label{"Bottom", 20, 400, 100, 20};
    const auto screen = frame(0, 0, screenWidth, screenHeight);
    std::string elements = element("app", 2, "UIApplication", "", screen, screen, {"v0"});
    for (int i = 0; i < depth; ++i) {
        const auto id = "v" + std::to_string(i);
        const std::vector<std::string> next{i + 1 < depth ? "v" + std::to_string(i + 1) : "label"};
        elements += "," + element(id, 1, "UIView", "Level " + std::to_string(i), screen, screen, next);
    }
    const auto where = frame(label.x, label.y, label.width, label.height);
    elements += "," + element("label", 48, "UILabel", label.text, where, where, {});
    writeBundle(directory, elements);
    return {label};
}

double secondsToScan(const std::filesystem::path& directory, const std::vector<Label>& labels) {
    const auto start = Clock::now();
    BundlePlatform platform(CaptureBundle::open(directory));
    auto conf = std::make_shared<AudConf>();
    const auto context = captureContext(platform, *platform.elementUnderTest(), *conf);
    RecordedLines recognizer(labels);
    const auto result = Aud(conf, &recognizer).run(context);
    if (result->audRuleResults.empty()) std::fprintf(stderr, "no results for %s\n", directory.c_str());
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

template <class Make>
void measure(const char* shape, Make&& make) {
    const auto directory = std::filesystem::temp_directory_path() / "audkit-scan-scale";
    double previous = 0;
    for (const int size : {1000, 10000, 100000}) {
        std::filesystem::remove_all(directory);
        const auto labels = make(directory, size);
        std::vector<double> runs;
        for (int run = 0; run < (size >= 100000 ? 1 : 3); ++run) runs.push_back(secondsToScan(directory, labels));
        const double seconds = median(runs);
        if (previous > 0)
            std::printf("%-16s %7d views  %9.3f s  growth x%.1f\n", shape, size, seconds, seconds / previous);
        else
            std::printf("%-16s %7d views  %9.3f s\n", shape, size, seconds);
        std::fflush(stdout);
        previous = seconds;
    }
    std::filesystem::remove_all(directory);
}

}  // namespace

int main() {
    measure("labelled views", flatScreen);
    measure("nested chain", deepChain);
    return 0;
}
