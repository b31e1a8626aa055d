#include "audkit/tree/element_off_screen.hpp"

#include <nlohmann/json.hpp>

#include "audkit/base/float_format.hpp"
#include "audkit/base/number_formatter_helper.hpp"

namespace audkit {

void to_json(Json& json, const ElementOffScreen& record) {
    json = Json::object();
    json["offScreenAmount"] = jsonFloat(record.offScreenAmount);
    json["percentOffScreen"] = NumberFormatterHelper::shared().percentage(record.offScreenAmount);
}

void from_json(const Json& json, ElementOffScreen& record) {
    record.offScreenAmount = json.at("offScreenAmount").get<float>();
}

}  // namespace audkit
