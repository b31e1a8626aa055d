#include "audkit/tree/aud_view_json.hpp"

#include <array>
#include <nlohmann/json.hpp>

namespace audkit {
namespace {

constexpr std::array<std::string_view, 9> fixedMembers{"className",
                                                       "audViewId",
                                                       "elementType",
                                                       "boundsInScreen",
                                                       "isAccessibilityFocusable",
                                                       "accessibilityIdentifier",
                                                       "detectedText",
                                                       "calculatedProps",
                                                       "children"};

bool isFixedMember(std::string_view key) {
    for (const auto member : fixedMembers)
        if (member == key) return true;
    return false;
}

std::size_t subtreeDepth(const AudView& root) {
    std::size_t deepest = 0;
    std::vector<std::pair<const AudView*, std::size_t>> stack{{&root, 1}};
    while (!stack.empty()) {
        const auto [node, depth] = stack.back();
        stack.pop_back();
        deepest = std::max(deepest, depth);
        for (const auto& child : node->children) stack.emplace_back(child.get(), depth + 1);
    }
    return deepest;
}

Json writeView(const AudView& view) {
    Json json = Json::object();
    json["className"] = view.className;
    json["audViewId"] = view.audViewId;
    json["elementType"] = std::string(toString(view.elementType));
    json["boundsInScreen"] = view.boundsInScreen;
    json["isAccessibilityFocusable"] = view.isAccessibilityFocusable;
    if (view.accessibilityIdentifier) json["accessibilityIdentifier"] = *view.accessibilityIdentifier;
    if (view.detectedText) json["detectedText"] = *view.detectedText;
    if (view.props) {
        Json props = *view.props;
        for (auto& [key, value] : props.items())
            if (!isFixedMember(key)) json[key] = std::move(value);
    }
    Json children = Json::array();
    for (const auto& child : view.children) children.push_back(writeView(*child));
    json["children"] = std::move(children);
    Json calculated = Json::object();
    if (view.name) calculated["name"] = *view.name;
    calculated["role"] = std::string(toString(view.role));
    if (view.state) calculated["state"] = *view.state;
    if (view.value) calculated["value"] = *view.value;
    calculated["isVisibleToUser"] = view.isVisibleToUser;
    json["calculatedProps"] = std::move(calculated);
    return json;
}

std::optional<std::string> optionalString(const Json& json, const char* key) {
    const auto found = json.find(key);
    if (found == json.end()) return std::nullopt;
    return found->get<std::string>();
}

std::shared_ptr<AudView> readView(const Json& json, std::size_t depth) {
    if (depth > maxJsonViewDepth) throw AudViewError::tooDeep(maxJsonViewDepth);
    const Json& calculated = json.at("calculatedProps");
    AudView::Fields fields;
    fields.role = parseAudEnum<AudRole>(calculated.at("role").get<std::string>());
    fields.isVisibleToUser = calculated.contains("isVisibleToUser") && calculated.at("isVisibleToUser").get<bool>();
    fields.name = optionalString(calculated, "name");
    fields.state = optionalString(calculated, "state");
    fields.value = optionalString(calculated, "value");

    const auto typeMember = json.find("elementType");
    const auto& typeName = typeMember != json.end()                   ? *typeMember
                           : json.find("inheritedType") != json.end() ? json.at("inheritedType")
                                                                      : Json();
    fields.elementType = parseAudEnum<AudElementType>(typeName.is_string() ? typeName.get<std::string>() : "");
    fields.className = json.at("className").get<std::string>();
    fields.boundsInScreen = json.at("boundsInScreen").get<AudBounds>();
    fields.accessibilityIdentifier = optionalString(json, "accessibilityIdentifier");
    const bool focusable = json.at("isAccessibilityFocusable").get<bool>();
    const Json& children = json.at("children");
    auto id = json.at("audViewId").get<std::string>();

    auto props = std::make_shared<AudProps>();
    for (const auto& [key, value] : json.items()) {
        if (isFixedMember(key)) continue;
        auto decoded = decodePropValue(value);
        if (!decoded) throw AudViewError::couldNotDecode(key);
        props->add(key, std::move(*decoded));
    }
    auto view = AudView::restore(std::move(fields), std::move(props), std::move(id), focusable,
                                 optionalString(json, "detectedText"));
    for (const auto& child : children) view->addChild(readView(child, depth + 1));
    return view;
}

}  // namespace

Json viewToJson(const AudView& view) {
    if (subtreeDepth(view) > maxJsonViewDepth) throw AudViewError::tooDeep(maxJsonViewDepth);
    return writeView(view);
}

std::shared_ptr<AudView> viewFromJson(const Json& json) { return readView(json, 1); }

}  // namespace audkit
