#include "tools/audkit-server/store/results.hpp"

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

}  // namespace

void Results::add(const ResultSummary& summary, const std::string& document) {
    database_.transaction([&] {
        database_.run(
            "INSERT INTO results (id, organisation, user_id, package, screen, name, created, failures, incompletes, "
            "passes, failing_rules, document) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {summary.id, summary.organisation, summary.userId, summary.package, summary.screen,
             summary.name ? SqlValue(*summary.name) : SqlValue(nullptr), summary.created, summary.failures,
             summary.incompletes, summary.passes, joinedRules(summary.failingRules), Blob{document}});
        for (const auto& tag : summary.tags)
            database_.run("INSERT INTO tags (result_id, tag) VALUES (?, ?) ON CONFLICT DO NOTHING", {summary.id, tag});
    });
}

std::optional<ResultSummary> Results::summary(const std::string& organisation, const std::string& id) {
    const auto rows = database_.run(
        "SELECT id, organisation, user_id, package, screen, name, created, failures, incompletes, passes, "
        "failing_rules FROM results WHERE organisation = ? AND id = ?",
        {organisation, id});
    if (rows.empty()) return std::nullopt;
    const auto& row = rows.front();
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
    for (const auto& tag : database_.run("SELECT tag FROM tags WHERE result_id = ? ORDER BY tag", {id}))
        summary.tags.push_back(tag[0].value_or(""));
    return summary;
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

}  // namespace audkit::server
