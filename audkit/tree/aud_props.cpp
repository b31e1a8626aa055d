#include "audkit/tree/aud_props.hpp"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "audkit/tree/aud_view.hpp"

namespace audkit {

std::string_view propKindName(const PropValue& value) {
    return std::visit([](const auto& held) { return PropKindName<std::decay_t<decltype(held)>>::value; }, value);
}

AudPropsError AudPropsError::propDNE(std::string_view key) {
    return {Case::propDNE, "Property \"" + std::string(key) + "\" does not exist in this object."};
}

AudPropsError AudPropsError::unexpectedType(std::string_view key, std::string_view from, std::string_view to) {
    return {Case::unexpectedType, "Property \"" + std::string(key) + "\" could not be casted from " +
                                      std::string(from) + " to " + std::string(to) + ")."};
}

AudPropsError AudPropsError::couldNotDecode(std::string_view key) {
    return {Case::couldNotDecode, "Could not decode property " + std::string(key) + ". Skipping property."};
}

void AudProps::add(const std::string& key, std::optional<PropValue> value) {
    const auto found =
        std::find_if(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.first == key; });
    if (found != entries_.end())
        found->second = std::move(value);
    else
        entries_.emplace_back(key, std::move(value));
}

void AudProps::add(const AudProps& other) {
    for (const auto& [key, value] : other.entries_) add(key, value);
}

void AudProps::remove(std::string_view key) {
    std::erase_if(entries_, [&](const Entry& entry) { return entry.first == key; });
}

// Trait text is taken as traits only when every piece is a trait's display
// name, so a label such as "[Button, Foo]" keeps its text through a round trip.
template <>
std::optional<AudTraits> fromWrittenText<AudTraits>(const std::string& text) {
    AudTraits traits;
    try {
        traits = AudTraits::fromString(text);
    } catch (const AudTraits::InvalidString&) {
        return std::nullopt;
    }
    if (text == "None") return traits;
    std::string inner = text.substr(1, text.size() - 2);
    std::size_t pieces = 1;
    for (std::size_t at = inner.find(", "); at != std::string::npos; at = inner.find(", ", at + 2)) ++pieces;
    std::size_t named = 0;
    for (const auto& row : traitDisplayNames())
        if (traits.contains(row.trait)) ++named;
    if (named != pieces) return std::nullopt;
    return traits;
}

template <>
std::optional<AudOrientation> fromWrittenText<AudOrientation>(const std::string& text) {
    return enumFromName<AudOrientation>(text);
}

const PropValue* AudProps::get(std::string_view key) const {
    for (const auto& [stored, value] : entries_)
        if (stored == key) return value ? &*value : nullptr;
    return nullptr;
}

const PropValue& AudProps::getOrError(std::string_view key) const {
    const auto* value = get(key);
    if (value == nullptr) throw AudPropsError::propDNE(key);
    return *value;
}

bool AudProps::contains(std::string_view key) const {
    return std::any_of(entries_.begin(), entries_.end(), [&](const Entry& entry) { return entry.first == key; });
}

std::string AudProps::description() const {
    std::string text = "[";
    for (const auto& [key, value] : entries_) {
        if (text.size() > 1) text += ", ";
        text += "\"" + key + "\": ";
        if (!value) {
            text += "nil";
        } else if (const auto* view = std::get_if<AudViewRef>(&*value)) {
            text += *view ? (*view)->description() : "nil";
        } else if (std::holds_alternative<AudViewList>(*value)) {
            text += "[" + std::to_string(std::get<AudViewList>(*value).size()) + " views]";
        } else {
            text += encodePropValue(*value).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        }
    }
    return text + "]";
}

}  // namespace audkit
