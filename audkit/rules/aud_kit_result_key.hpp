#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "audkit/base/json.hpp"

namespace audkit {

// Identifies one result posted to the backend.
struct AudKitResultKey {
    std::string packageName;
    std::string userId;
    std::string resultId;

    // "userId/packageName/resultId" with the package name percent-encoded
    // except for letters, digits and punctuation.
    std::string description() const;
    // The inverse: exactly three non-empty pieces between slashes.
    static std::optional<AudKitResultKey> fromFabTitle(std::string_view text);

    bool operator==(const AudKitResultKey&) const = default;
};

Json resultKeyToJson(const AudKitResultKey& key);
AudKitResultKey resultKeyFromJson(const Json& json);

}  // namespace audkit

template <>
struct std::hash<audkit::AudKitResultKey> {
    std::size_t operator()(const audkit::AudKitResultKey& key) const {
        const std::hash<std::string> hash;
        return hash(key.packageName) ^ (hash(key.userId) * 31) ^ (hash(key.resultId) * 131);
    }
};
