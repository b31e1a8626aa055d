#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace audkit {

// What a recorded capture knows of an element beyond the platform's own
// attributes (an imported accessibility dump): where the element stands in
// the dump, which attributes the importer inferred instead of reading them,
// and whether the system draws it rather than the application. A live
// platform has none of it; a recorded one answers it through the attribute
// dictionary under these keys, which no platform attribute has.
struct ElementProvenance {
    static constexpr std::string_view sourceKey = "audkit.source";
    static constexpr std::string_view inferredKey = "audkit.inferred";  // attribute keys, one per line
    static constexpr std::string_view systemElementKey = "audkit.systemElement";

    std::optional<std::string> source;       // "line 57"
    std::vector<std::string> inferred;       // attribute keys ("XC_kAXXCAttributeTraits")
    std::optional<std::string> systemElement;  // what it is: "the status bar"

};

}  // namespace audkit
