#include "audkit/platform/line_detector.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <opencv2/core.hpp>
#include <opencv2/dnn.hpp>
#include <opencv2/imgproc.hpp>
#include <optional>
#include <string>

#include "audkit/platform/text_recognizer_error.hpp"

namespace audkit {
namespace {

// The network sees the screenshot with its longer side at most this long
// (never enlarged), each side a multiple of 32 as its strides need: the
// size it was trained at, where a 3x phone screen's smallest text is still
// some 12 pixels high.
constexpr int longestSide = 960;
constexpr int stride = 32;
// OpenCV 4.6 computes the network's layer sizes for the first input it is
// given and reads any other size wrongly from then on: each input size has a
// network of its own. A screen's size is the same for every screen of a
// device; a smaller image (a view read again) is put on the least canvas of
// a few that holds it, so that a handful of networks serve every crop.
constexpr int smallCanvas = 512;
constexpr std::size_t mostNetworks = 4;
// Pixels whose text probability passes `pixelThreshold` make up the
// regions; a region whose mean probability is below `lineThreshold` is no
// line. The network learned text shrunk by `shrink` of its box's area over
// its perimeter; its lines are grown back by as much.
constexpr float pixelThreshold = 0.3F;
constexpr float lineThreshold = 0.6F;
constexpr float shrink = 1.5F;
constexpr float smallestSide = 3;  // pixels of the network's map
constexpr std::size_t mostRegions = 1000;

// ImageNet's mean and deviation, in the network's channel order (blue, green, red).
constexpr float mean[3] = {0.485F, 0.456F, 0.406F};
constexpr float deviation[3] = {0.229F, 0.224F, 0.225F};

// The side of the canvas for a side of the scaled image: 64, 128, 256 or
// 512, else the next multiple of the stride.
int canvasSide(int side) {
    if (side > smallCanvas) return (side + stride - 1) / stride * stride;
    int canvas = 2 * stride;
    while (canvas < side) canvas *= 2;
    return canvas;
}

}  // namespace

struct LineDetector::Network {
    std::vector<char> model;
    // The network loaded to check the model, for the first size asked for.
    std::optional<cv::dnn::Net> unsized;
    // Networks by input size (width, height), the most recently used last.
    std::vector<std::pair<cv::Size, cv::dnn::Net>> nets;

    cv::dnn::Net& forSize(cv::Size size) {
        auto found = std::find_if(nets.begin(), nets.end(), [&](const auto& net) { return net.first == size; });
        if (found == nets.end()) {
            if (nets.size() == mostNetworks) nets.erase(nets.begin());
            nets.emplace_back(size,
                              unsized ? std::move(*unsized) : cv::dnn::readNetFromONNX(model.data(), model.size()));
            unsized.reset();
        } else {
            std::rotate(found, found + 1, nets.end());
        }
        return nets.back().second;
    }
};

std::filesystem::path LineDetector::installedModel() {
    const char* folder = std::getenv("AUDKIT_MODELS");
    return std::filesystem::path(folder != nullptr && *folder != '\0' ? folder : AUDKIT_MODEL_DIR) / "text-lines.onnx";
}

bool LineDetector::installed() {
    std::error_code ignored;
    return std::filesystem::is_regular_file(installedModel(), ignored);
}

void LineDetector::useThreads(int threads) { cv::setNumThreads(std::max(1, threads)); }

LineDetector::LineDetector(const std::filesystem::path& model) : network_(std::make_unique<Network>()) {
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(model, ignored))
        throw TextRecognizerError("The text detection model " + model.string() +
                                  " is not there: run scripts/setup.sh, which prepares it, or point AUDKIT_MODELS "
                                  "at the folder that holds text-lines.onnx");
    std::ifstream file(model, std::ios::binary);
    network_->model.assign(std::istreambuf_iterator<char>(file), {});
    if (!file || network_->model.empty())
        throw TextRecognizerError("The text detection model " + model.string() + " could not be read");
    // Loaded once here, so that a model that cannot be loaded says so now.
    try {
        network_->unsized = cv::dnn::readNetFromONNX(network_->model.data(), network_->model.size());
    } catch (const cv::Exception& error) {
        throw TextRecognizerError("The text detection model " + model.string() +
                                  " could not be loaded (run scripts/setup.sh again to prepare it): " + error.msg);
    }
}

LineDetector::~LineDetector() = default;

std::vector<DetectedLine> LineDetector::detect(const RgbaImage& image) {
    if (image.width == 0 || image.height == 0) return {};
    const double scale = std::min(1.0, double(longestSide) / std::max(image.width, image.height));
    // The image scaled, on a canvas of its top left pixel's colour.
    const int scaledWidth = std::max(1, static_cast<int>(std::lround(image.width * scale)));
    const int scaledHeight = std::max(1, static_cast<int>(std::lround(image.height * scale)));
    const int width = canvasSide(scaledWidth), height = canvasSide(scaledHeight);
    const cv::Mat rgba(static_cast<int>(image.height), static_cast<int>(image.width), CV_8UC4,
                       const_cast<std::uint8_t*>(image.pixels.data()));
    cv::Mat scaled, resized;
    cv::resize(rgba, scaled, cv::Size(scaledWidth, scaledHeight), 0, 0, cv::INTER_AREA);
    const auto* corner = image.pixels.data();
    cv::copyMakeBorder(scaled, resized, 0, height - scaledHeight, 0, width - scaledWidth, cv::BORDER_CONSTANT,
                       cv::Scalar(corner[0], corner[1], corner[2], corner[3]));

    const int shape[] = {1, 3, height, width};
    cv::Mat blob(4, shape, CV_32F);
    const std::size_t plane = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    auto* out = blob.ptr<float>();
    for (int y = 0; y < height; ++y) {
        const auto* row = resized.ptr<std::uint8_t>(y);
        for (int x = 0; x < width; ++x) {
            const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x;
            for (int c = 0; c < 3; ++c)  // blue, green, red from red, green, blue
                out[c * plane + at] = (row[x * 4 + 2 - c] / 255.0F - mean[c]) / deviation[c];
        }
    }

    cv::Mat output;
    try {
        auto& net = network_->forSize({width, height});
        net.setInput(blob);
        output = net.forward();
    } catch (const cv::Exception& error) {
        throw TextRecognizerError("The text detector could not read the screenshot: " + error.msg);
    }
    const cv::Mat probability(height, width, CV_32F, output.ptr<float>());
    const cv::Mat text = probability > pixelThreshold;
    std::vector<std::vector<cv::Point>> regions;
    cv::findContours(text, regions, cv::RETR_LIST, cv::CHAIN_APPROX_SIMPLE);
    if (regions.size() > mostRegions) regions.resize(mostRegions);

    const float toImageX = float(image.width) / float(scaledWidth),
                toImageY = float(image.height) / float(scaledHeight);
    std::vector<DetectedLine> lines;
    for (const auto& region : regions) {
        auto box = cv::minAreaRect(region);
        if (std::min(box.size.width, box.size.height) < smallestSide) continue;
        // The region's mean probability, over its rectangle.
        cv::Point2f corners[4];
        box.points(corners);
        const cv::Rect bounds =
            cv::boundingRect(std::vector<cv::Point2f>(corners, corners + 4)) & cv::Rect(0, 0, width, height);
        if (bounds.empty()) continue;
        cv::Mat mask = cv::Mat::zeros(bounds.size(), CV_8U);
        std::vector<cv::Point> polygon;
        for (const auto& corner : corners)
            polygon.emplace_back(static_cast<int>(std::lround(corner.x)) - bounds.x,
                                 static_cast<int>(std::lround(corner.y)) - bounds.y);
        cv::fillPoly(mask, std::vector<std::vector<cv::Point>>{polygon}, cv::Scalar(1));
        const float score = static_cast<float>(cv::mean(probability(bounds), mask)[0]);
        if (score < lineThreshold) continue;
        // Grown back by what training shrank: for a rectangle, its sides by
        // twice the offset.
        const float offset = box.size.area() * shrink / (2 * (box.size.width + box.size.height));
        box.size.width += 2 * offset;
        box.size.height += 2 * offset;
        if (std::min(box.size.width, box.size.height) < smallestSide + 2) continue;
        const auto grown = box.boundingRect2f();
        DetectedLine line;
        line.left = std::clamp(static_cast<int>(std::floor(grown.x * toImageX)), 0, int(image.width));
        line.top = std::clamp(static_cast<int>(std::floor(grown.y * toImageY)), 0, int(image.height));
        line.right = std::clamp(static_cast<int>(std::ceil((grown.x + grown.width) * toImageX)), 0, int(image.width));
        line.bottom =
            std::clamp(static_cast<int>(std::ceil((grown.y + grown.height) * toImageY)), 0, int(image.height));
        line.score = score;
        if (line.right > line.left && line.bottom > line.top) lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end(), [](const DetectedLine& a, const DetectedLine& b) {
        return a.top != b.top ? a.top < b.top : a.left < b.left;
    });
    return lines;
}

std::shared_ptr<LineDetector> lineDetectorFor(std::string_view engine) {
    // Measured over the examples and the contrast study: the detector reads
    // more of small and JPEG-born screenshots, but a scan with it takes about
    // twice as long (most of a second to ready the network for a screen
    // size) and three times the memory, and it reads no more of clean
    // screens. The default stays with Tesseract's segmentation.
    if (engine == "tesseract" || engine == "auto") return nullptr;
    if (engine == "neural") return std::make_shared<LineDetector>();
    throw TextRecognizerError("\"" + std::string(engine) + "\" is no text engine (auto, neural or tesseract)");
}

}  // namespace audkit
