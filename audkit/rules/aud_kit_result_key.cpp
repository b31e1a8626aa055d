#include "audkit/rules/aud_kit_result_key.hpp"

#include <array>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <utf8proc.h>
#include <vector>

namespace audkit {
namespace {

bool staysAsIs(utf8proc_int32_t codePoint) {
    switch (utf8proc_category(codePoint)) {
        case UTF8PROC_CATEGORY_LU:
        case UTF8PROC_CATEGORY_LL:
        case UTF8PROC_CATEGORY_LT:
        case UTF8PROC_CATEGORY_LM:
        case UTF8PROC_CATEGORY_LO:
        case UTF8PROC_CATEGORY_MN:
        case UTF8PROC_CATEGORY_MC:
        case UTF8PROC_CATEGORY_ME:
        case UTF8PROC_CATEGORY_ND:
        case UTF8PROC_CATEGORY_PC:
        case UTF8PROC_CATEGORY_PD:
        case UTF8PROC_CATEGORY_PS:
        case UTF8PROC_CATEGORY_PE:
        case UTF8PROC_CATEGORY_PI:
        case UTF8PROC_CATEGORY_PF:
        case UTF8PROC_CATEGORY_PO: return true;
        default: return false;
    }
}

std::string percentEncoded(std::string_view text) {
    std::string encoded;
    for (std::size_t at = 0; at < text.size();) {
        utf8proc_int32_t codePoint = -1;
        auto length = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(text.data() + at),
                                       static_cast<utf8proc_ssize_t>(text.size() - at), &codePoint);
        const bool valid = length > 0;
        if (!valid) length = 1;
        const auto bytes = text.substr(at, static_cast<std::size_t>(length));
        if (valid && staysAsIs(codePoint)) {
            encoded += bytes;
        } else {
            for (const char byte : bytes) {
                std::array<char, 4> escaped{};
                std::snprintf(escaped.data(), escaped.size(), "%%%02X", static_cast<unsigned char>(byte));
                encoded += escaped.data();
            }
        }
        at += static_cast<std::size_t>(length);
    }
    return encoded;
}

}  // namespace

std::string AudKitResultKey::description() const { return userId + "/" + percentEncoded(packageName) + "/" + resultId; }

std::optional<AudKitResultKey> AudKitResultKey::fromFabTitle(std::string_view text) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = std::min(text.find('/', start), text.size());
        if (end > start) pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (pieces.size() != 3) return std::nullopt;
    return AudKitResultKey{pieces[1], pieces[0], pieces[2]};
}

Json resultKeyToJson(const AudKitResultKey& key) {
    Json json = Json::object();
    json["packageName"] = key.packageName;
    json["userId"] = key.userId;
    json["resultId"] = key.resultId;
    return json;
}

AudKitResultKey resultKeyFromJson(const Json& json) {
    return AudKitResultKey{json.at("packageName").get<std::string>(), json.at("userId").get<std::string>(),
                           json.at("resultId").get<std::string>()};
}

}  // namespace audkit
