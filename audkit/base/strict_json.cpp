#include "audkit/base/strict_json.hpp"

#include <nlohmann/json.hpp>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

namespace audkit {
namespace {

// Builds the document as the library's own parser does (a repeated member
// name keeps its first place and takes the last value), but in time linear in
// the number of members: an ordered document looks each name up by a scan of
// its object, so 200,000 members took minutes. Stops at a nesting deeper than
// maxJsonNesting and, when asked, notes the first member name that appears
// twice in one object.
template <class JsonT>
class DocumentBuilder {
public:
    using number_integer_t = typename JsonT::number_integer_t;
    using number_unsigned_t = typename JsonT::number_unsigned_t;
    using number_float_t = typename JsonT::number_float_t;
    using string_t = typename JsonT::string_t;
    using binary_t = typename JsonT::binary_t;

    DocumentBuilder(JsonT& document, bool allowExceptions, bool notesRepeats)
        : document_(document), allowExceptions_(allowExceptions), notesRepeats_(notesRepeats) {}

    bool null() { return add(nullptr); }
    bool boolean(bool value) { return add(value); }
    bool number_integer(number_integer_t value) { return add(value); }
    bool number_unsigned(number_unsigned_t value) { return add(value); }
    bool number_float(number_float_t value, const string_t&) { return add(value); }
    bool string(string_t& value) { return add(std::move(value)); }
    bool binary(binary_t& value) { return add(JsonT::binary(std::move(value))); }

    bool start_object(std::size_t) { return deeper() && open(JsonT::object()); }
    bool key(string_t& name) {
        const auto [member, added] = memberNamed(open_.back(), name);
        if (!added && notesRepeats_ && !repeated) repeated = name;
        member_ = member;
        return true;
    }
    bool end_object() { return close(); }
    bool start_array(std::size_t) { return deeper() && open(JsonT::array()); }
    bool end_array() { return close(); }

    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error) {
        if (allowExceptions_) throw error;
        return false;
    }

    std::optional<std::string> repeated;
    bool tooDeep = false;

private:
    struct Open {
        JsonT* value;
        // Of an ordered object: each member's place, as the object has no index.
        std::unordered_map<std::string, std::size_t> places;
    };

    // The member of the open object with this name, made (null) where there
    // is none yet; and whether it was made.
    static std::pair<JsonT*, bool> memberNamed(Open& object, const std::string& name) {
        auto& members = *object.value->template get_ptr<typename JsonT::object_t*>();
        if constexpr (std::is_same_v<JsonT, nlohmann::ordered_json>) {
            auto& inOrder = static_cast<typename JsonT::object_t::Container&>(members);
            const auto [at, added] = object.places.try_emplace(name, inOrder.size());
            if (added) return {&inOrder.emplace_back(name, nullptr).second, true};
            return {&inOrder[at->second].second, false};
        } else {
            const auto [at, added] = members.emplace(name, nullptr);
            return {&at->second, added};
        }
    }

    // Where a value goes: the root, the end of the open array or the member
    // just named.
    JsonT& place(JsonT&& value) {
        if (open_.empty()) return document_ = std::move(value);
        auto& container = *open_.back().value;
        if (container.is_array()) {
            container.push_back(std::move(value));
            return container.back();
        }
        return *member_ = std::move(value);
    }
    template <class Value>
    bool add(Value&& value) {
        place(JsonT(std::forward<Value>(value)));
        return true;
    }
    bool open(JsonT&& container) {
        open_.push_back({&place(std::move(container)), {}});
        return true;
    }
    bool close() {
        --depth_;
        open_.pop_back();
        return true;
    }
    bool deeper() {
        tooDeep = ++depth_ > maxJsonNesting;
        return !tooDeep;
    }

    JsonT& document_;
    bool allowExceptions_, notesRepeats_;
    std::size_t depth_ = 0;
    std::vector<Open> open_;  // the containers being read, innermost last
    JsonT* member_ = nullptr;
};

template <class JsonT>
bool parseInto(const std::string& text, DocumentBuilder<JsonT>& builder, JsonT& document, bool allowExceptions) {
    if (JsonT::sax_parse(text, &builder)) return true;
    if (builder.tooDeep && allowExceptions)
        throw JsonT::parse_error::create(
            113, 0, "the document nests deeper than " + std::to_string(maxJsonNesting) + " levels", nullptr);
    document = JsonT(JsonT::value_t::discarded);
    return false;
}

}  // namespace

template <class JsonT>
JsonT parseFromOutside(const std::string& text, bool allowExceptions) {
    JsonT document;
    DocumentBuilder<JsonT> builder(document, allowExceptions, false);
    parseInto(text, builder, document, allowExceptions);
    return document;
}

template nlohmann::json parseFromOutside<nlohmann::json>(const std::string&, bool);
template nlohmann::ordered_json parseFromOutside<nlohmann::ordered_json>(const std::string&, bool);

std::optional<std::string> parseNotingRepeats(const std::string& text, nlohmann::json& document) {
    DocumentBuilder<nlohmann::json> builder(document, true, true);
    parseInto(text, builder, document, true);
    return builder.repeated;
}

}  // namespace audkit
