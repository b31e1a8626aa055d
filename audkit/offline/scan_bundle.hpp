#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "audkit/rules/aud_conf.hpp"
#include "audkit/rules/aud_result.hpp"
#include "audkit/tree/text_recognizer.hpp"

namespace audkit {

struct BundleScanOptions {
    // The rules' configuration (ignores, opt-ins); null scans with the defaults.
    std::shared_ptr<AudConf> configuration;
    // Recognises the screenshot's text; null uses Tesseract with `languages`.
    std::shared_ptr<TextRecognizer> textRecognizer;
    // Tesseract's languages, joined with + ("eng+jpn"). A missing model is an
    // error naming its package, never a scan without text. Empty: chosen for
    // each screen from the scripts of the texts its elements record
    // (languagesForTexts); a model the screen calls for that is not installed
    // is then left out and named in the result.
    std::string languages = "eng";
    // Without a textRecognizer: the recogniser for the screen's languages (a
    // caller that scans many screens keeps them); null makes a new one.
    std::function<std::shared_ptr<TextRecognizer>(const std::string& languages)> recognizerFor;
};

// Scans a recorded capture bundle (a folder with capture.json and, usually,
// screenshot.png) with every rule, without any backend or network. Throws
// when the bundle cannot be read, naming what was wrong.
std::shared_ptr<AudResult> scanBundle(const std::filesystem::path& bundle, const BundleScanOptions& options = {});

class BundlePlatform;
class TesseractRecognizer;

// Decodes a bundle's screenshot and makes the grey image recognition reads
// while the recogniser's models load in the background, then waits for them:
// a missing model throws here, before the scan, never a scan without text.
void readyToScan(BundlePlatform& platform, TesseractRecognizer& recognizer);

// Why a scan examined nothing, so no verdict of the result means anything: no
// element of the capture was visible on the screen (pickers alone are not
// judged), or every visible one is the system's (and the scan does not judge
// those). None when it examined some.
std::optional<std::string> whyNothingWasExamined(const AudResult& result);
// Whether the scan examined anything: no reason why it examined nothing.
bool examinedAnyView(const AudResult& result);

}  // namespace audkit
