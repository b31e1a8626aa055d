#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audkit/base/error.hpp"
#include "audkit/tree/attribute_value.hpp"
#include "audkit/tree/device.hpp"
#include "audkit/tree/snapshot_source.hpp"

namespace audkit {

// A capture bundle that cannot be read: the message names the file, the member
// and the element ids involved.
class CaptureBundleError : public MessageError {
public:
    using MessageError::MessageError;
};

struct BundleDevice {
    std::string name;
    std::string systemName;
    std::string systemVersion;
    float scale = 1.0F;
    std::optional<std::string> modelIdentifier;
    std::optional<std::string> vendorIdentifier;
};

struct BundleRootQueries {
    std::size_t webViewCount = 0;
    bool keyboardExists = false;
    std::optional<std::string> title;
};

struct BundleOrientation {
    DeviceOrientation initial = DeviceOrientation::unknown;
    std::map<int, PlatformRect> appFrames;  // by orientation number
};

class CaptureBundle;

// The scripted Settings application: the static texts and buttons it has, what
// the Larger Text slider's value reads (none when not text) and the capture of
// the application after the slider moved (null when not recorded).
struct BundleSettings {
    std::vector<std::string> labels;
    std::optional<std::string> sliderValue;
    std::shared_ptr<const CaptureBundle> afterLargerText;
};

// A recorded capture: everything the platform said during one scan. Strict
// about structure (opening fails with CaptureBundleError), tolerant about
// values (a mistyped attribute is handed on and takes its fallback later).
class CaptureBundle {
public:
    // A bundle directory, or the path of its capture.json.
    static CaptureBundle open(const std::filesystem::path& path);
    // The same checks on capture.json text already in memory; relative file
    // names resolve against the directory of `capturePath`.
    static CaptureBundle fromText(const std::string& text, const std::filesystem::path& capturePath);
    // A capture of only "root" and "elements" (the application captured again
    // after the text size changed), with the same structural checks.
    static CaptureBundle snapshotOnly(const std::filesystem::path& path);

    const std::filesystem::path& capturePath() const;
    const std::filesystem::path& screenshotPath() const;
    // False when "screenshot" is null: the capture recorded the tree only.
    bool hasScreenshot() const;
    const BundleDevice& device() const;
    const std::optional<std::string>& runnerBundleIdentifier() const;
    const std::string& rootId() const;
    std::uint64_t rootRawType() const;
    const BundleRootQueries& rootQueries() const;
    const std::optional<BundleOrientation>& orientation() const;
    const std::optional<BundleSettings>& settings() const;
    std::size_t elementCount() const;

    // The requested attributes of an element; none when the id names no element
    // or its "attributes" is null or missing. Unrequested keys are left out.
    std::optional<AttributeDictionary> attributes(const std::string& id, const AttributeNames& names) const;
    // Every label, value and placeholder text the elements record.
    std::vector<std::string> recordedTexts() const;
    // None when the id names no element or its "rawType" is not an integer.
    std::optional<std::uint64_t> rawType(const std::string& id) const;

    struct Data;

private:
    explicit CaptureBundle(std::shared_ptr<const Data> data);
    std::shared_ptr<const Data> data_;
};

}  // namespace audkit
