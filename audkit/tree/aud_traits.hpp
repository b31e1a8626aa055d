#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "audkit/base/error.hpp"
#include "audkit/base/json.hpp"

namespace audkit {

// The accessibility trait bit set, with the platform's bit values.
class AudTraits {
public:
    class InvalidString : public MessageError {
    public:
        // "<text> does not contain a valid AudTrait."
        explicit InvalidString(std::string_view text);
    };

    constexpr AudTraits() = default;
    constexpr explicit AudTraits(std::uint64_t rawValue) : rawValue(rawValue) {}
    AudTraits(std::initializer_list<AudTraits> traits);
    // Parses the string form; throws InvalidString.
    static AudTraits fromString(std::string_view text);

    static const AudTraits none, button, link, image, selected, playsSound, keyboardKey, staticText, summaryElement,
        notEnabled, updatesFrequently, searchField, startsMediaSession, adjustable, allowsDirectInteraction,
        causesPageTurn, tabBar, header;
    // Not public on the platform, but shown by the string form.
    static const AudTraits textEntry, switchButton;

    bool contains(AudTraits other) const { return (rawValue & other.rawValue) == other.rawValue; }
    void insert(AudTraits other) { rawValue |= other.rawValue; }
    void remove(AudTraits other) { rawValue &= ~other.rawValue; }
    AudTraits unionWith(AudTraits other) const { return AudTraits(rawValue | other.rawValue); }
    AudTraits intersection(AudTraits other) const { return AudTraits(rawValue & other.rawValue); }
    AudTraits subtracting(AudTraits other) const { return AudTraits(rawValue & ~other.rawValue); }
    AudTraits symmetricDifference(AudTraits other) const { return AudTraits(rawValue ^ other.rawValue); }
    void formUnion(AudTraits other) { rawValue |= other.rawValue; }
    void formIntersection(AudTraits other) { rawValue &= other.rawValue; }
    void formSymmetricDifference(AudTraits other) { rawValue ^= other.rawValue; }
    bool isSubset(AudTraits other) const { return other.contains(*this); }
    bool isSuperset(AudTraits other) const { return contains(other); }
    bool isDisjoint(AudTraits other) const { return (rawValue & other.rawValue) == 0; }
    bool isEmpty() const { return rawValue == 0; }

    // "None", or the display names of the contained traits: "[Button, Selected]".
    std::string toString() const;
    std::string description() const { return toString(); }

    bool operator==(const AudTraits&) const = default;

    std::uint64_t rawValue = 0;
};

struct TraitDisplayName {
    AudTraits trait;
    std::string_view name;
};
// The 19 traits with a display name, in bit order.
std::span<const TraitDisplayName> traitDisplayNames();

// Written as the string form; read from the string form or from the object of
// the 17 public trait names with Boolean values (all required).
void to_json(Json& json, const AudTraits& traits);
void from_json(const Json& json, AudTraits& traits);

}  // namespace audkit

template <>
struct std::hash<audkit::AudTraits> {
    std::size_t operator()(const audkit::AudTraits& traits) const {
        return std::hash<std::uint64_t>{}(traits.rawValue);
    }
};
