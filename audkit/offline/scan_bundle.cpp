#include "audkit/offline/scan_bundle.hpp"

#include "audkit/facade/aud_kit.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/recognition_languages.hpp"
#include "audkit/platform/tesseract_recognizer.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {

std::shared_ptr<AudResult> scanBundle(const std::filesystem::path& bundle, const BundleScanOptions& options) {
    auto make = [&](const std::string& languages) -> std::shared_ptr<TextRecognizer> {
        if (options.recognizerFor) return options.recognizerFor(languages);
        return std::make_shared<TesseractRecognizer>(languages, TesseractRecognizer::Options::oneScanAtATime());
    };
    // Given languages load while the bundle is read; chosen ones once its texts are known.
    auto recognizer = options.textRecognizer;
    RecognitionLanguages languages{options.languages, {}};
    if (!recognizer && !languages.languages.empty()) recognizer = make(languages.languages);
    auto capture = CaptureBundle::open(bundle);
    if (!recognizer) {
        languages = languagesForTexts(capture.recordedTexts(), TesseractRecognizer::installedLanguages());
        recognizer = make(languages.languages);
    }
    BundlePlatform platform(std::move(capture));
    // Tesseract makes the grey image it reads while its models load.
    if (auto* tesseract = dynamic_cast<TesseractRecognizer*>(recognizer.get())) readyToScan(platform, *tesseract);
    auto kit = AudKit::offline();
    kit->setConfiguration(options.configuration);
    kit->setTextRecognizer(std::move(recognizer));
    auto result = kit->runOnElement(platform, *platform.elementUnderTest());
    if (!options.textRecognizer) result->recognitionLanguages = std::move(languages.languages);
    result->missingLanguageModels = std::move(languages.missing);
    return result;
}

void readyToScan(BundlePlatform& platform, TesseractRecognizer& recognizer) {
    if (auto screenshot = platform.decodeScreenshot()) recognizer.prepare(std::move(screenshot));
    recognizer.waitUntilLoaded();
}

bool examinedAnyView(const AudResult& result) { return !whyNothingWasExamined(result); }

std::optional<std::string> whyNothingWasExamined(const AudResult& result) {
    if (result.viewsExamined > 0) return std::nullopt;
    if (result.viewsOffScreen > 0) {
        const auto& device = result.audContext->audDevice;
        return "every visible element lies outside the screen (" + std::to_string(result.viewsOffScreen) +
               " of them, beyond the " + std::to_string(static_cast<long>(device.screenWidth)) + " x " +
               std::to_string(static_cast<long>(device.screenHeight)) +
               " px screenshot), so nothing on the screen was examined";
    }
    if (result.systemElementsNotJudged > 0)
        return "every visible element is the system's (" + std::to_string(result.systemElementsNotJudged) +
               " of them), and system elements are not judged unless asked for (--include-system)";
    return "no element of the capture is visible on the screen (or only pickers, which are not judged), so nothing "
           "was examined";
}

}  // namespace audkit
