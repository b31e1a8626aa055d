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
    std::int64_t posted = 0;  // milliseconds since 1970: results of one second keep their order
    std::int64_t failures = 0, incompletes = 0, passes = 0;
    std::vector<std::string> failingRules, tags;
};

// What the dashboard's list shows: empty fields filter nothing.
struct ResultFilter {
    std::string package, tag, failingRule;
    std::optional<std::int64_t> from, until;  // milliseconds since 1970, `until` excluded
    std::size_t limit = 100, offset = 0;
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

    // Newest first.
    std::vector<ResultSummary> list(const std::string& organisation, const ResultFilter& filter);
    // One screen's results (an application's screen title), oldest first.
    std::vector<ResultSummary> history(const std::string& organisation, const std::string& package,
                                       const std::string& screen, std::size_t limit);
    // The latest result of the same screen posted before this one.
    std::optional<ResultSummary> previous(const ResultSummary& result);
    std::vector<std::string> packages(const std::string& organisation);
    std::vector<std::string> tags(const std::string& organisation);

private:
    std::vector<ResultSummary> summaries(const std::string& sql, const std::vector<SqlValue>& values);
    Database& database_;
};

}  // namespace audkit::server
