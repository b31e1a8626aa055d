#include "tools/audkit-server/store/results.hpp"

#include <algorithm>
#include <sstream>

namespace audkit::server {
namespace {

// Failing rules are kept as one text, each id between commas, so that a
// filter by rule is one LIKE '%,Rule,%' in either database.
std::string joinedRules(const std::vector<std::string>& rules) {
    std::string text = ",";
    for (const auto& rule : rules) text += rule + ",";
    return text;
}

std::vector<std::string> splitRules(const std::string& text) {
    std::vector<std::string> rules;
    std::istringstream in(text);
    for (std::string rule; std::getline(in, rule, ',');)
        if (!rule.empty()) rules.push_back(rule);
    return rules;
}

constexpr const char* summaryColumns =
    "SELECT id, organisation, user_id, package, screen, name, posted, failures, incompletes, passes, "
    "failing_rules FROM results ";

}  // namespace

std::vector<ResultSummary> Results::summaries(const std::string& sql, const std::vector<SqlValue>& values) {
    std::vector<ResultSummary> summaries;
    for (const auto& row : database_.run(summaryColumns + sql, values)) {
        ResultSummary summary{*row[0],
                              *row[1],
                              *row[2],
                              *row[3],
                              *row[4],
                              row[5],
                              std::stoll(*row[6]),
                              std::stoll(*row[7]),
                              std::stoll(*row[8]),
                              std::stoll(*row[9]),
                              splitRules(*row[10]),
                              {}};
        for (const auto& tag : database_.run("SELECT tag FROM tags WHERE result_id = ? ORDER BY tag", {summary.id}))
            summary.tags.push_back(tag[0].value_or(""));
        summaries.push_back(std::move(summary));
    }
    return summaries;
}

void Results::add(const ResultSummary& summary, const std::string& document) {
    database_.transaction([&] {
        database_.run(
            "INSERT INTO results (id, organisation, user_id, package, screen, name, posted, failures, incompletes, "
            "passes, failing_rules, document) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {summary.id, summary.organisation, summary.userId, summary.package, summary.screen,
             summary.name ? SqlValue(*summary.name) : SqlValue(nullptr), summary.posted, summary.failures,
             summary.incompletes, summary.passes, joinedRules(summary.failingRules), Blob{document}});
        for (const auto& tag : summary.tags)
            database_.run("INSERT INTO tags (result_id, tag) VALUES (?, ?) ON CONFLICT DO NOTHING", {summary.id, tag});
    });
}

std::optional<ResultSummary> Results::summary(const std::string& organisation, const std::string& id) {
    auto found = summaries("WHERE organisation = ? AND id = ?", {organisation, id});
    if (found.empty()) return std::nullopt;
    return std::move(found.front());
}

std::optional<std::string> Results::document(const std::string& organisation, const std::string& id) {
    const auto rows =
        database_.run("SELECT document FROM results WHERE organisation = ? AND id = ?", {organisation, id});
    if (rows.empty()) return std::nullopt;
    return rows[0][0];
}

bool Results::tag(const std::string& organisation, const std::string& id, const std::vector<std::string>& tags) {
    bool found = false;
    database_.transaction([&] {
        found = !database_.run("SELECT id FROM results WHERE organisation = ? AND id = ?", {organisation, id}).empty();
        if (!found) return;
        for (const auto& tag : tags)
            database_.run("INSERT INTO tags (result_id, tag) VALUES (?, ?) ON CONFLICT DO NOTHING", {id, tag});
    });
    return found;
}

bool Results::rename(const std::string& organisation, const std::string& id, const std::string& name) {
    bool found = false;
    database_.transaction([&] {
        found = !database_.run("SELECT id FROM results WHERE organisation = ? AND id = ?", {organisation, id}).empty();
        if (found) database_.run("UPDATE results SET name = ? WHERE id = ?", {name, id});
    });
    return found;
}

bool Results::remove(const std::string& organisation, const std::string& id) {
    bool found = false;
    database_.transaction([&] {
        found = !database_.run("SELECT id FROM results WHERE organisation = ? AND id = ?", {organisation, id}).empty();
        if (!found) return;
        database_.run("DELETE FROM tags WHERE result_id = ?", {id});
        database_.run("DELETE FROM results WHERE id = ?", {id});
    });
    return found;
}

std::vector<ResultSummary> Results::list(const std::string& organisation, const ResultFilter& filter) {
    std::string sql = "WHERE organisation = ?";
    std::vector<SqlValue> values{organisation};
    if (!filter.package.empty()) {
        sql += " AND package = ?";
        values.emplace_back(filter.package);
    }
    if (!filter.failingRule.empty()) {
        // Rule ids are letters and digits: nothing in them is a LIKE pattern.
        sql += " AND failing_rules LIKE ?";
        values.emplace_back("%," + filter.failingRule + ",%");
    }
    if (!filter.tag.empty()) {
        sql += " AND EXISTS (SELECT 1 FROM tags WHERE tags.result_id = results.id AND tags.tag = ?)";
        values.emplace_back(filter.tag);
    }
    if (filter.from) {
        sql += " AND posted >= ?";
        values.emplace_back(*filter.from);
    }
    if (filter.until) {
        sql += " AND posted < ?";
        values.emplace_back(*filter.until);
    }
    sql += " ORDER BY posted DESC, id LIMIT ? OFFSET ?";
    values.emplace_back(static_cast<std::int64_t>(filter.limit));
    values.emplace_back(static_cast<std::int64_t>(filter.offset));
    return summaries(sql, values);
}

std::vector<ResultSummary> Results::history(const std::string& organisation, const std::string& package,
                                            const std::string& screen, std::size_t limit) {
    // The latest `limit`, shown oldest first.
    auto latest = summaries("WHERE organisation = ? AND package = ? AND screen = ? ORDER BY posted DESC, id LIMIT ?",
                            {organisation, package, screen, static_cast<std::int64_t>(limit)});
    std::reverse(latest.begin(), latest.end());
    return latest;
}

std::optional<ResultSummary> Results::previous(const ResultSummary& result) {
    auto found = summaries(
        "WHERE organisation = ? AND package = ? AND screen = ? AND (posted < ? OR (posted = ? AND id < ?)) ORDER BY "
        "posted DESC, id DESC LIMIT 1",
        {result.organisation, result.package, result.screen, result.posted, result.posted, result.id});
    if (found.empty()) return std::nullopt;
    return std::move(found.front());
}

std::vector<std::string> Results::packages(const std::string& organisation) {
    std::vector<std::string> packages;
    for (const auto& row :
         database_.run("SELECT DISTINCT package FROM results WHERE organisation = ? ORDER BY package", {organisation}))
        packages.push_back(row[0].value_or(""));
    return packages;
}

std::vector<std::string> Results::tags(const std::string& organisation) {
    std::vector<std::string> tags;
    for (const auto& row : database_.run("SELECT DISTINCT tags.tag FROM tags JOIN results ON results.id = "
                                         "tags.result_id WHERE results.organisation = ? ORDER BY tags.tag",
                                         {organisation}))
        tags.push_back(row[0].value_or(""));
    return tags;
}

}  // namespace audkit::server
