#pragma once

// What a program includes to use audkit: scanning a screen through its own
// platform (AudKit) or a recorded capture bundle (scanBundle), the result and
// its rule results, the catalogue of rules, posting and getting results, and
// the platform parts the library brings (capture bundles, Tesseract's text
// recognition, the text detector, the HTTP transport). Only these headers and
// the ones they include are installed.
#include "audkit/facade/aud.hpp"
#include "audkit/facade/aud_kit.hpp"
#include "audkit/facade/capture_context.hpp"
#include "audkit/offline/scan_bundle.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/capture_bundle.hpp"
#include "audkit/platform/curl_transport.hpp"
#include "audkit/platform/line_detector.hpp"
#include "audkit/platform/tesseract_recognizer.hpp"
#include "audkit/platform/text_recognizer_error.hpp"
#include "audkit/rules/aud_result.hpp"
#include "audkit/rules/rule_catalogue.hpp"
