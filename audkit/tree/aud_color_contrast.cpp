#include "audkit/tree/aud_color_contrast.hpp"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "audkit/base/float_format.hpp"
#include "audkit/base/json_numbers.hpp"

namespace audkit {

double contrastRatio(const AudColor& a, const AudColor& b) {
    const double la = a.relativeLuminance(), lb = b.relativeLuminance();
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double AudColorContrast::contrast() const {
    if (colorA.isTransparent() || colorB.isTransparent()) return 0;
    return std::round(contrastRatio(colorA, colorB) * 100) / 100;
}

void to_json(Json& json, const AudColorContrast& pair) {
    json = Json::object();
    json["colorA"] = pair.colorA.hex();
    json["colorB"] = pair.colorB.hex();
    json["contrast"] = pair.contrast();
    json["estimatedFontSize"] = jsonFloat(pair.estimatedFontSize);
    json["fontIsBold"] = pair.fontIsBold;
    json["pixelDensity"] = pair.pixelDensity;
}

AudColorContrast colorContrastFromJson(const Json& json) {
    return AudColorContrast(AudColor::fromHex(json.at("colorA").get<std::string>()),
                            AudColor::fromHex(json.at("colorB").get<std::string>()),
                            json.at("estimatedFontSize").get<float>(), json.at("fontIsBold").get<bool>(),
                            integerAt(json, "pixelDensity"));
}

}  // namespace audkit
