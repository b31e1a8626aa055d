#pragma once

#include <concepts>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "audkit/base/error.hpp"
#include "audkit/base/json.hpp"
#include "audkit/tree/prop_key.hpp"
#include "audkit/tree/prop_value.hpp"

namespace audkit {

class AudPropsError : public MessageError {
public:
    enum class Case { propDNE, unexpectedType, couldNotDecode };

    static AudPropsError propDNE(std::string_view key);
    static AudPropsError unexpectedType(std::string_view key, std::string_view from, std::string_view to);
    static AudPropsError couldNotDecode(std::string_view key);

    Case errorCase() const { return case_; }

private:
    AudPropsError(Case errorCase, const std::string& message) : MessageError(message), case_(errorCase) {}
    Case case_;
};

// Traits and orientations are written as their display texts ("[Button]",
// "None", "Portrait"), which a label or a value can also be. A document's
// text therefore reads back as text, and a typed read of one of these kinds
// takes text that is exactly such a display text as that kind.
template <class T>
inline constexpr bool writtenAsText = std::same_as<T, AudTraits> || std::same_as<T, AudOrientation>;
template <class T>
std::optional<T> fromWrittenText(const std::string& text);
template <>
std::optional<AudTraits> fromWrittenText<AudTraits>(const std::string& text);
template <>
std::optional<AudOrientation> fromWrittenText<AudOrientation>(const std::string& text);

// A string-keyed bag of typed values describing one view for one rule. A key
// may hold an absent value. Entries keep the order they were first added in.
class AudProps {
public:
    using Entry = std::pair<std::string, std::optional<PropValue>>;

    void add(const std::string& key, std::optional<PropValue> value);
    void add(const AudProps& other);
    void remove(std::string_view key);

    // The stored value, or null when the key is missing or its value absent.
    const PropValue* get(std::string_view key) const;
    // The stored value; throws propDNE when missing or absent.
    const PropValue& getOrError(std::string_view key) const;

    // Typed reads succeed exactly when the stored value is of kind T (or, for
    // the kinds written as text, is that text).
    template <class T>
    std::conditional_t<writtenAsText<T>, T, const T&> getOrError(std::string_view key) const {
        const auto& value = getOrError(key);
        if (const auto* typed = std::get_if<T>(&value)) return *typed;
        if constexpr (writtenAsText<T>) {
            if (const auto* text = std::get_if<std::string>(&value))
                if (auto read = fromWrittenText<T>(*text)) return *read;
        }
        throw AudPropsError::unexpectedType(key, propKindName(value), PropKindName<T>::value);
    }
    template <class T>
    std::optional<T> get(std::string_view key) const {
        const auto* value = get(key);
        if (value == nullptr) return std::nullopt;
        if (const auto* typed = std::get_if<T>(value)) return *typed;
        if constexpr (writtenAsText<T>) {
            if (const auto* text = std::get_if<std::string>(value)) return fromWrittenText<T>(*text);
        }
        return std::nullopt;
    }

    // Typed keys: the value must be of the key's kind (or absent).
    template <class T, class U>
    requires std::same_as<std::remove_cvref_t<U>, T> || std::same_as<std::remove_cvref_t<U>, std::optional<T>> ||
        std::same_as<std::remove_cvref_t<U>, std::nullopt_t>
    void add(const PropKey<T>& key, U&& value) {
        std::optional<T> typed(std::forward<U>(value));
        add(std::string(key.name), typed ? std::optional<PropValue>(std::move(*typed)) : std::nullopt);
    }
    template <class T>
    std::optional<T> get(const PropKey<T>& key) const {
        return get<T>(key.name);
    }
    template <class T>
    decltype(auto) getOrError(const PropKey<T>& key) const {
        return getOrError<T>(key.name);
    }
    template <class T>
    bool contains(const PropKey<T>& key) const {
        return contains(key.name);
    }

    bool contains(std::string_view key) const;
    const std::vector<Entry>& entries() const { return entries_; }
    std::string description() const;

private:
    std::vector<Entry> entries_;
};

// One member per present value, in entry order; lists of views are left out;
// a value that cannot be written is logged and left out.
void to_json(Json& json, const AudProps& props);
// Every member, each decoded by trying the kinds in the reading order; a member
// that matches no kind is logged and skipped.
AudProps propsFromJson(const Json& json);

// One value in the reading order; none when no kind matches.
std::optional<PropValue> decodePropValue(const Json& json);
Json encodePropValue(const PropValue& value);

}  // namespace audkit
