#pragma once

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "audkit/tree/rgba_image.hpp"

namespace audkit {

// A line of text the detector found, in image pixels: the upright box that
// holds its rotated rectangle (grown past the ink as the detector's training
// shrank it), and how sure the detector is (0 to 1).
struct DetectedLine {
    int left = 0, top = 0, right = 0, bottom = 0;
    float score = 0;
};

// A learned text detector (PaddleOCR's PP-OCRv4 detection network, run by
// OpenCV DNN): one box per line of text, where a page segmenter merges rows
// or misses text on pills, bars and photographs. Not safe to share between
// threads; one per worker, loaded once.
class LineDetector {
public:
    // Loads the prepared network (scripts/setup.sh makes it); throws
    // TextRecognizerError naming the file and how to make it when it is
    // missing or unreadable.
    explicit LineDetector(const std::filesystem::path& model = installedModel());
    ~LineDetector();
    LineDetector(const LineDetector&) = delete;
    LineDetector& operator=(const LineDetector&) = delete;

    // The network's file: $AUDKIT_MODELS/text-lines.onnx, or where the
    // set-up script installs it.
    static std::filesystem::path installedModel();
    // Whether that file is there.
    static bool installed();

    // How many threads the network may use (the whole process shares the setting).
    static void useThreads(int threads);

    // The lines of an image, top to bottom, then left to right.
    std::vector<DetectedLine> detect(const RgbaImage& image);

private:
    struct Network;
    std::unique_ptr<Network> network_;
};

// The detector that finds the lines of text for the engine named: "neural"
// (this detector; its model missing is a TextRecognizerError), "tesseract"
// (none: Tesseract's page segmentation) or "auto" (the engine that reads
// best at an acceptable cost: Tesseract's, for now). Each call loads a
// detector of its own.
std::shared_ptr<LineDetector> lineDetectorFor(std::string_view engine);

}  // namespace audkit
