#include <algorithm>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "audkit/base/float_format.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/tree/aud_props.hpp"
#include "audkit/tree/aud_view.hpp"
#include "audkit/tree/aud_view_json.hpp"

namespace audkit {
namespace {

// A value JSON cannot hold (a non-finite number): it is not written.
struct NotEncodable {};

Json encode(const PropValue& value) {
    return std::visit(
        [](const auto& held) -> Json {
            using Kind = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<Kind, double>) {
                if (!std::isfinite(held)) throw NotEncodable{};
                return held;
            } else if constexpr (std::is_same_v<Kind, float>) {
                if (!std::isfinite(held)) throw NotEncodable{};
                return jsonFloat(held);
            } else if constexpr (std::is_same_v<Kind, std::vector<double>>) {
                for (const double number : held)
                    if (!std::isfinite(number)) throw NotEncodable{};
                return held;
            } else if constexpr (std::is_same_v<Kind, AudViewRef>) {
                if (!held) throw NotEncodable{};
                return viewToJson(*held);
            } else if constexpr (std::is_same_v<Kind, AudViewList>) {
                throw NotEncodable{};
            } else if constexpr (std::is_same_v<Kind, PlatformRect>) {
                return Json::array({Json::array({held.x, held.y}), Json::array({held.width, held.height})});
            } else {
                return Json(held);
            }
        },
        value);
}

template <class T>
std::optional<T> tryGet(const Json& json) {
    try {
        return json.get<T>();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool allStrings(const Json& json) {
    return std::all_of(json.begin(), json.end(), [](const Json& item) { return item.is_string(); });
}

bool allNumbers(const Json& json) {
    return std::all_of(json.begin(), json.end(), [](const Json& item) { return item.is_number(); });
}

std::optional<PlatformRect> platformRect(const Json& json) {
    if (!json.is_array() || json.size() != 2) return std::nullopt;
    const auto& origin = json[0];
    const auto& size = json[1];
    if (!origin.is_array() || !size.is_array() || origin.size() != 2 || size.size() != 2 || !allNumbers(origin) ||
        !allNumbers(size))
        return std::nullopt;
    return PlatformRect{origin[0].get<double>(), origin[1].get<double>(), size[0].get<double>(), size[1].get<double>()};
}

std::optional<AudColorContrast> colorContrast(const Json& json) {
    if (!json.is_object() || !json.contains("colorA")) return std::nullopt;
    try {
        return colorContrastFromJson(json);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<std::vector<AudColorContrast>> colorContrasts(const Json& json) {
    std::vector<AudColorContrast> pairs;
    for (const auto& item : json) {
        auto pair = colorContrast(item);
        if (!pair) return std::nullopt;
        pairs.push_back(std::move(*pair));
    }
    return pairs;
}

}  // namespace

Json encodePropValue(const PropValue& value) { return encode(value); }

std::optional<PropValue> decodePropValue(const Json& json) {
    if (json.is_boolean()) return json.get<bool>();
    if (json.is_string()) {
        return json.get<std::string>();  // traits and orientations too: see fromWrittenText
    }
    if (json.is_object()) {
        if (const auto traits = tryGet<AudTraits>(json)) return *traits;
        // Only the object form: a colour is written as six hex digits, which
        // plain words ("facade", "decade") can also be, and those stay text.
        if (json.contains("red")) {
            try {
                return colorFromJson(json);
            } catch (const std::exception&) {}
        }
    }
    if (json.is_number_integer()) {
        if (json.is_number_unsigned() &&
            json.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            return json.get<std::uint64_t>();
        return json.get<std::int64_t>();
    }
    if (json.is_number()) return json.get<double>();
    if (json.is_object()) {
        if (const auto bounds = tryGet<AudBounds>(json)) return *bounds;
        if (json.contains("calculatedProps")) {
            try {
                return AudViewRef(viewFromJson(json));
            } catch (const std::exception&) {
                return std::nullopt;
            }
        }
        if (const auto point = tryGet<AudPoint>(json)) return *point;
        if (const auto pair = colorContrast(json)) return *pair;
        if (const auto spacing = tryGet<AudTargetSpacing>(json)) return *spacing;
        if (const auto offScreen = tryGet<ElementOffScreen>(json)) return *offScreen;
        return std::nullopt;
    }
    if (json.is_array()) {
        if (allStrings(json)) return json.get<std::vector<std::string>>();
        if (allNumbers(json)) return json.get<std::vector<double>>();
        if (const auto rect = platformRect(json)) return *rect;
        if (!json.empty()) {
            if (const auto pairs = colorContrasts(json)) return *pairs;
            if (const auto spacings = tryGet<std::vector<AudTargetSpacing>>(json)) return *spacings;
        }
    }
    return std::nullopt;
}

void to_json(Json& json, const AudProps& props) {
    json = Json::object();
    for (const auto& [key, value] : props.entries()) {
        if (!value || std::holds_alternative<AudViewList>(*value)) continue;  // lists of views are never written
        try {
            json[key] = encode(*value);
        } catch (const NotEncodable&) {
            ZKLog::always("ZUNIK ERROR: Type for key " + key + " cannot be encoded.");
        } catch (const Error&) {  // a view too deep for its JSON form
            ZKLog::always("ZUNIK ERROR: Type for key " + key + " cannot be encoded.");
        }
    }
}

AudProps propsFromJson(const Json& json) {
    AudProps props;
    for (const auto& [key, value] : json.items()) {
        if (auto decoded = decodePropValue(value))
            props.add(key, std::move(*decoded));
        else
            ZKLog::log(AudPropsError::couldNotDecode(key));
    }
    return props;
}

}  // namespace audkit
