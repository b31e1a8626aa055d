#include "audkit/tree/aud_traits.hpp"

#include <array>
#include <nlohmann/json.hpp>
#include <vector>

namespace audkit {

const AudTraits AudTraits::none{0};
const AudTraits AudTraits::button{0x1};
const AudTraits AudTraits::link{0x2};
const AudTraits AudTraits::image{0x4};
const AudTraits AudTraits::selected{0x8};
const AudTraits AudTraits::playsSound{0x10};
const AudTraits AudTraits::keyboardKey{0x20};
const AudTraits AudTraits::staticText{0x40};
const AudTraits AudTraits::summaryElement{0x80};
const AudTraits AudTraits::notEnabled{0x100};
const AudTraits AudTraits::updatesFrequently{0x200};
const AudTraits AudTraits::searchField{0x400};
const AudTraits AudTraits::startsMediaSession{0x800};
const AudTraits AudTraits::adjustable{0x1000};
const AudTraits AudTraits::allowsDirectInteraction{0x2000};
const AudTraits AudTraits::causesPageTurn{0x4000};
const AudTraits AudTraits::tabBar{0x8000};
const AudTraits AudTraits::header{0x10000};
const AudTraits AudTraits::textEntry{0x40000};
const AudTraits AudTraits::switchButton{0x20000000000000};

namespace {

const std::array<TraitDisplayName, 19> displayNames{{
    {AudTraits(0x1), "Button"},
    {AudTraits(0x2), "Link"},
    {AudTraits(0x4), "Image"},
    {AudTraits(0x8), "Selected"},
    {AudTraits(0x10), "Plays Sound"},
    {AudTraits(0x20), "Keyboard Key"},
    {AudTraits(0x40), "Static Text"},
    {AudTraits(0x80), "Summary Element"},
    {AudTraits(0x100), "Not Enabled"},
    {AudTraits(0x200), "Updates Frequently"},
    {AudTraits(0x400), "Search Field"},
    {AudTraits(0x800), "Starts Media Session"},
    {AudTraits(0x1000), "Adjustable"},
    {AudTraits(0x2000), "Allows Direct Interaction"},
    {AudTraits(0x4000), "Causes Page Turn"},
    {AudTraits(0x8000), "Tab Bar"},
    {AudTraits(0x10000), "Header"},
    {AudTraits(0x40000), "Text Field"},
    {AudTraits(0x20000000000000), "Switch"},
}};

// The keys of the object form; key i stands for bit i.
constexpr std::array<const char*, 17> publicTraitKeys{"button",         "link",
                                                      "image",          "selected",
                                                      "playsSound",     "keyboardKey",
                                                      "staticText",     "summaryElement",
                                                      "notEnabled",     "updatesFrequently",
                                                      "searchField",    "startsMediaSession",
                                                      "adjustable",     "allowsDirectInteraction",
                                                      "causesPageTurn", "tabBar",
                                                      "header"};

std::vector<std::string_view> splitAt(std::string_view text, std::string_view separator) {
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        const auto end = text.find(separator, start);
        if (end == std::string_view::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, end - start));
        start = end + separator.size();
    }
}

}  // namespace

AudTraits::InvalidString::InvalidString(std::string_view text)
    : MessageError(std::string(text) + " does not contain a valid AudTrait.") {}

AudTraits::AudTraits(std::initializer_list<AudTraits> traits) {
    for (const auto trait : traits) rawValue |= trait.rawValue;
}

std::span<const TraitDisplayName> traitDisplayNames() { return displayNames; }

std::string AudTraits::toString() const {
    std::string text;
    for (const auto& row : displayNames) {
        if (!contains(row.trait)) continue;
        text += text.empty() ? "[" : ", ";
        text += row.name;
    }
    return text.empty() ? "None" : text + "]";
}

AudTraits AudTraits::fromString(std::string_view text) {
    if (text == "None") return AudTraits();
    if (!text.starts_with('[') || !text.ends_with(']')) throw InvalidString(text);
    std::string inner;
    for (const char c : text)
        if (c != '[' && c != ']') inner += c;
    const auto pieces = splitAt(inner, ", ");
    bool matched = false;
    std::uint64_t raw = 0;
    for (const auto& row : displayNames) {
        for (const auto piece : pieces) {
            if (piece != row.name) continue;
            raw += row.trait.rawValue;
            matched = true;
            break;
        }
    }
    if (!matched) throw InvalidString(text);
    return AudTraits(raw);
}

void to_json(Json& json, const AudTraits& traits) { json = traits.toString(); }

void from_json(const Json& json, AudTraits& traits) {
    if (json.is_string()) {
        traits = AudTraits::fromString(json.get_ref<const std::string&>());
        return;
    }
    std::uint64_t raw = 0;
    for (std::size_t bit = 0; bit < publicTraitKeys.size(); ++bit) {
        if (json.at(publicTraitKeys[bit]).get<bool>()) raw |= std::uint64_t{1} << bit;
    }
    traits = AudTraits(raw);
}

}  // namespace audkit
