#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "audkit/platform/line_detector.hpp"
#include "audkit/platform/png_codec.hpp"
#include "audkit/platform/tesseract_recognizer.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

RgbaImage cropOf(const RgbaImage& image, std::uint32_t width, std::uint32_t height) {
    RgbaImage crop{width, height, std::vector<std::uint8_t>(std::size_t{width} * height * 4)};
    for (std::uint32_t y = 0; y < height; ++y)
        std::copy_n(image.pixels.begin() + std::ptrdiff_t{y} * image.width * 4, width * 4,
                    crop.pixels.begin() + std::ptrdiff_t{y} * width * 4);
    return crop;
}

TEST(LineDetector, OneBoxForEachLineOfAScreenWhateverWasReadBefore) {
    const auto example = test::sourceDir() / "examples" / "inbox";
    const auto screenshot = decodePng(test::readFile(example / "screenshot.png"));
    std::ifstream truthFile(example / "text-lines.json");
    const auto truth = nlohmann::json::parse(truthFile);
    LineDetector detector;
    // Images of other sizes first: each size is read as itself, and the
    // screen after them as if it came first.
    EXPECT_FALSE(detector.detect(cropOf(screenshot, 700, 300)).empty());
    EXPECT_TRUE(detector.detect(RgbaImage{40, 40, std::vector<std::uint8_t>(40 * 40 * 4, 255)}).empty());
    const auto lines = detector.detect(screenshot);
    std::size_t counted = 0, once = 0;
    for (const auto& line : truth["lines"]) {
        if (line["text"].get<std::string>().size() < 2) continue;
        const auto& box = line["box"];
        const float x = box["x"].get<float>() + box["width"].get<float>() / 2;
        const float y = box["y"].get<float>() + box["height"].get<float>() / 2;
        const auto holding = std::count_if(lines.begin(), lines.end(), [&](const DetectedLine& found) {
            return x >= found.left && x <= found.right && y >= found.top && y <= found.bottom;
        });
        ++counted;
        once += holding == 1 ? 1 : 0;
    }
    // Neither missed nor merged with the row above or below, nor split.
    EXPECT_GE(once, counted - 1) << once << " of " << counted;
    EXPECT_LE(lines.size(), truth["lines"].size() + 2);
}

TEST(LineDetector, ReadsTheDetectedLinesWithTheirFrames) {
    const auto screenshot = decodePng(test::readFile(test::sourceDir() / "examples" / "inbox" / "screenshot.png"));
    TesseractRecognizer::Options options;
    options.engines = 2;
    options.lines = std::make_shared<LineDetector>();
    TesseractRecognizer recognizer("eng", options);
    const auto observations = recognizer.recognize(screenshot);
    const auto tickets = std::find_if(observations.begin(), observations.end(),
                                      [](const TextObservation& seen) { return seen.text == "Tickets for Saturday"; });
    ASSERT_NE(tickets, observations.end());
    // Its frame spans the line height of its font (15 pt at 3x), not only the ink.
    EXPECT_NEAR(tickets->x * screenshot.width, 90, 12);
    EXPECT_NEAR((1 - tickets->y - tickets->height) * screenshot.height, 527, 12);
    EXPECT_NEAR(tickets->height * screenshot.height, 54, 8);
}

TEST(LineDetector, AMissingOrBrokenModelSaysWhatToDo) {
    try {
        LineDetector detector("/nonexistent/text-lines.onnx");
        FAIL() << "expected an error";
    } catch (const TextRecognizerError& error) {
        EXPECT_NE(std::string(error.what()).find("/nonexistent/text-lines.onnx is not there: run scripts/setup.sh"),
                  std::string::npos)
            << error.what();
    }
    const test::TempDir folder;
    const auto broken = folder.path() / "text-lines.onnx";
    std::ofstream(broken) << "not a network";
    EXPECT_THROW(LineDetector{broken}, TextRecognizerError);
    EXPECT_THROW(lineDetectorFor("paddle"), TextRecognizerError);
    EXPECT_EQ(lineDetectorFor("tesseract"), nullptr);
}

}  // namespace
}  // namespace audkit
