#include "audkit/rules/aud_rule_result.hpp"

#include <nlohmann/json.hpp>

#include "audkit/base/float_format.hpp"
#include "audkit/base/json_numbers.hpp"
#include "audkit/rules/aud_rule.hpp"
#include "audkit/tree/aud_view.hpp"

namespace audkit {
namespace {

template <class Item, class Describe>
std::string describeList(const std::vector<Item>& items, Describe&& describe) {
    std::string text = "[";
    for (std::size_t i = 0; i < items.size(); ++i) text += (i ? ", " : "") + describe(items[i]);
    return text + "]";
}

std::string describeSpacing(const AudTargetSpacing& spacing) {
    return spacing.className + " " + spacing.boundsInScreen.description();
}

// "#777777 on #ffffff 4.48:1 (17 pt, regular, stroke 3 px)": the first colour
// is the text's where the analysis could tell.
std::string describeColorContrast(const AudColorContrast& pair) {
    return "#" + pair.colorA.hex() + " on #" + pair.colorB.hex() + " " + describeDouble(pair.contrast()) + ":1 (" +
           describeFloat(pair.estimatedFontSize) + " pt, " + (pair.fontIsBold ? "bold" : "regular") + ", stroke " +
           std::to_string(pair.pixelDensity) + " px)";
}

}  // namespace

std::string describePropValue(const PropValue& value) {
    return std::visit(
        [](const auto& held) -> std::string {
            using Kind = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<Kind, bool>)
                return held ? "true" : "false";
            else if constexpr (std::is_same_v<Kind, std::int64_t> || std::is_same_v<Kind, std::uint64_t>)
                return std::to_string(held);
            else if constexpr (std::is_same_v<Kind, double>)
                return describeDouble(held);
            else if constexpr (std::is_same_v<Kind, float>)
                return describeFloat(held);
            else if constexpr (std::is_same_v<Kind, std::string>)
                return held;
            else if constexpr (std::is_same_v<Kind, AudTraits>)
                return held.toString();
            else if constexpr (std::is_same_v<Kind, AudBounds> || std::is_same_v<Kind, AudRect> ||
                               std::is_same_v<Kind, AudPoint>)
                return held.description();
            else if constexpr (std::is_same_v<Kind, AudViewRef>)
                return held ? held->description() : "nil";
            else if constexpr (std::is_same_v<Kind, std::vector<std::string>>)
                return describeList(held, [](const std::string& item) { return "\"" + item + "\""; });
            else if constexpr (std::is_same_v<Kind, std::vector<double>>)
                return describeList(held, [](double item) { return describeDouble(item); });
            else if constexpr (std::is_same_v<Kind, AudViewList>)
                return describeList(held, [](const AudViewRef& view) { return view ? view->description() : "nil"; });
            else if constexpr (std::is_same_v<Kind, AudOrientation>)
                return std::string(toString(held));
            else if constexpr (std::is_same_v<Kind, ElementOffScreen>)
                return "ElementOffScreen(offScreenAmount: " + describeFloat(held.offScreenAmount) + ")";
            else if constexpr (std::is_same_v<Kind, PlatformRect>)
                return "(" + describeDouble(held.x) + ", " + describeDouble(held.y) + ", " +
                       describeDouble(held.width) + ", " + describeDouble(held.height) + ")";
            else if constexpr (std::is_same_v<Kind, AudTargetSpacing>)
                return describeSpacing(held);
            else if constexpr (std::is_same_v<Kind, std::vector<AudTargetSpacing>>)
                return describeList(held, describeSpacing);
            else if constexpr (std::is_same_v<Kind, AudColor>)
                return "#" + held.hex();
            else if constexpr (std::is_same_v<Kind, std::vector<AudColor>>)
                return describeList(held, [](const AudColor& color) { return "#" + color.hex(); });
            else if constexpr (std::is_same_v<Kind, AudColorContrast>)
                return describeColorContrast(held);
            else if constexpr (std::is_same_v<Kind, std::vector<AudColorContrast>>)
                return describeList(held, describeColorContrast);
        },
        value);
}

AudRuleResult::AudRuleResult(AudStatus status, const std::optional<std::string>& summary, const AudRule& rule,
                             const AudView& view, std::shared_ptr<AudProps> props)
    : status(status),
      impact(props ? rule.impactFor(*props) : rule.config()->impact),
      ruleId(rule.id()),
      ruleSummary(summary ? *summary : rule.config()->summary),
      props(std::move(props)),
      audViewId(view.audViewId),
      isVisibleToUser(view.isVisibleToUser),
      experimental(rule.config()->experimental),
      standard(rule.config()->standard) {}

AudRuleResult::AudRuleResult(AudStatus status, AudImpact impact, std::string ruleId, std::string ruleSummary,
                             std::shared_ptr<AudProps> props, std::string audViewId, bool isVisibleToUser,
                             bool experimental, AudStandard standard)
    : status(status),
      impact(impact),
      ruleId(std::move(ruleId)),
      ruleSummary(std::move(ruleSummary)),
      props(std::move(props)),
      audViewId(std::move(audViewId)),
      isVisibleToUser(isVisibleToUser),
      experimental(experimental),
      standard(standard) {}

std::string AudRuleResult::description() const {
    std::string text = std::string(toString(status)) + ", View Id: " + audViewId +
                       "\n\tisVisibleToUser : " + (isVisibleToUser ? "true" : "false") + "\n";
    if (props) {
        for (const auto& [key, value] : props->entries()) {
            if (key == "children" && value && std::holds_alternative<AudViewList>(*value)) {
                text += "\tnumberOfChildren: " + std::to_string(std::get<AudViewList>(*value).size()) + "\n";
                continue;
            }
            text += "\t" + key + " : " + (value ? describePropValue(*value) : "nil") + "\n";
        }
    }
    return text + "\n";
}

Json ruleResultToJson(const AudRuleResult& result) {
    Json json = Json::object();
    json["status"] = std::string(toString(result.status));
    json["ruleId"] = result.ruleId;
    json["impact"] = rawValue(result.impact);
    json["ruleSummary"] = result.ruleSummary;
    json["props"] = result.props ? Json(*result.props) : Json::object();
    json["audViewId"] = result.audViewId;
    json["isVisibleToUser"] = result.isVisibleToUser;
    json["experimental"] = result.experimental;
    json["standard"] = std::string(toString(result.standard));
    return json;
}

std::shared_ptr<AudRuleResult> ruleResultFromJson(const Json& json) {
    const auto statusText = json.at("status").get<std::string>();
    auto ruleId = json.at("ruleId").get<std::string>();
    const auto impactValue = integerAt(json, "impact");
    auto summary = json.at("ruleSummary").get<std::string>();
    auto props = std::make_shared<AudProps>(propsFromJson(json.at("props")));
    auto viewId = json.at("audViewId").get<std::string>();
    const auto visible = json.find("isVisibleToUser");
    const bool isVisibleToUser = visible == json.end() || !visible->is_boolean() || visible->get<bool>();
    const bool experimental = json.contains("experimental") && json.at("experimental").get<bool>();
    const auto standardText = json.contains("standard") ? json.at("standard").get<std::string>() : "Best Practice";

    auto status = enumFromName<AudStatus>(statusText);
    auto impact = enumFromRawValue<AudImpact>(impactValue);
    auto standard = enumFromName<AudStandard>(standardText);
    if (!status || !impact || !standard) {
        status = AudStatus::incomplete;
        impact = AudImpact::critical;
        standard = AudStandard::bestPractice;
    }
    return std::make_shared<AudRuleResult>(*status, *impact, std::move(ruleId), std::move(summary), std::move(props),
                                           std::move(viewId), isVisibleToUser, experimental, *standard);
}

}  // namespace audkit
