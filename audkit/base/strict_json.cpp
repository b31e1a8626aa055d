#include "audkit/base/strict_json.hpp"

#include <nlohmann/json.hpp>
#include <unordered_set>
#include <vector>

namespace audkit {
namespace {

// Builds the document like the library's own parser and notes the first
// member name that appears twice in one object. (The library's callback
// parser cannot be used: it rescans each object as it closes, which is
// quadratic in the number of members.)
class DocumentBuilder : public nlohmann::detail::json_sax_dom_parser<nlohmann::json> {
public:
    explicit DocumentBuilder(nlohmann::json& document) : json_sax_dom_parser(document, true) {}

    bool start_object(std::size_t size) {
        open_.emplace_back();
        return json_sax_dom_parser::start_object(size);
    }
    bool key(std::string& name) {
        if (!repeated && !open_.empty() && !open_.back().insert(name).second) repeated = name;
        return json_sax_dom_parser::key(name);
    }
    bool end_object() {
        open_.pop_back();
        return json_sax_dom_parser::end_object();
    }

    std::optional<std::string> repeated;

private:
    std::vector<std::unordered_set<std::string>> open_;  // member names of each object being read
};

}  // namespace

std::optional<std::string> parseNotingRepeats(const std::string& text, nlohmann::json& document) {
    DocumentBuilder builder(document);
    nlohmann::json::sax_parse(text, &builder);
    return builder.repeated;
}

}  // namespace audkit
