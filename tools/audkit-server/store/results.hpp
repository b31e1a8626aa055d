#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/audkit-server/store/database.hpp"

namespace audkit::server {

// What the server keeps of a posted result besides the document itself:
// enough to list, filter and chart results without reading documents.
struct ResultSummary {
    std::string id, organisation, userId, package, screen;
    std::optional<std::string> name;
    std::int64_t created = 0;  // seconds since 1970
    std::int64_t failures = 0, incompletes = 0, passes = 0;
    std::vector<std::string> failingRules, tags;
};

// Results belong to an organisation: every call names the caller's, and a
// result of another organisation is, to the caller, no result at all.
class Results {
public:
    explicit Results(Database& database) : database_(database) {}

    void add(const ResultSummary& summary, const std::string& document);
    std::optional<ResultSummary> summary(const std::string& organisation, const std::string& id);
    std::optional<std::string> document(const std::string& organisation, const std::string& id);
    // Adds tags (a tag it has already is kept once). False: no such result.
    bool tag(const std::string& organisation, const std::string& id, const std::vector<std::string>& tags);
    bool rename(const std::string& organisation, const std::string& id, const std::string& name);
    bool remove(const std::string& organisation, const std::string& id);

private:
    Database& database_;
};

}  // namespace audkit::server
