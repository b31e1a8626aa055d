#include "audkit/base/strict_json.hpp"

#include <nlohmann/json.hpp>
#include <unordered_set>
#include <vector>

namespace audkit {
namespace {

// Builds the document like the library's own parser, stops at a nesting
// deeper than maxJsonNesting and, when asked, notes the first member name
// that appears twice in one object. (The library's callback parser cannot be
// used: it rescans each object as it closes, which is quadratic in the number
// of members.)
template <class JsonT>
class DocumentBuilder : public nlohmann::detail::json_sax_dom_parser<JsonT> {
    using Base = nlohmann::detail::json_sax_dom_parser<JsonT>;

public:
    DocumentBuilder(JsonT& document, bool allowExceptions, bool notesRepeats)
        : Base(document, allowExceptions), notesRepeats_(notesRepeats) {}

    bool start_object(std::size_t size) {
        if (!deeper()) return false;
        if (notesRepeats_) open_.emplace_back();
        return Base::start_object(size);
    }
    bool key(typename JsonT::string_t& name) {
        if (notesRepeats_ && !repeated && !open_.empty() && !open_.back().insert(name).second) repeated = name;
        return Base::key(name);
    }
    bool end_object() {
        --depth_;
        if (notesRepeats_) open_.pop_back();
        return Base::end_object();
    }
    bool start_array(std::size_t size) { return deeper() && Base::start_array(size); }
    bool end_array() {
        --depth_;
        return Base::end_array();
    }

    std::optional<std::string> repeated;
    bool tooDeep = false;

private:
    bool deeper() {
        tooDeep = ++depth_ > maxJsonNesting;
        return !tooDeep;
    }

    bool notesRepeats_;
    std::size_t depth_ = 0;
    std::vector<std::unordered_set<std::string>> open_;  // member names of each object being read
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
