#pragma once

#include <cstdio>
#include <iosfwd>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tools/audkit/report/screen_report.hpp"

namespace audkit::cli {

// The readable text: a summary line, the rules not run, then per finding its
// number, status, rule and impact, the element and its frame in points, the
// rule's message and (for contrast) the colour pair that decided.
void writeTextReport(std::ostream& out, const ScreenReport& screen);

// JUnit XML: one testsuite per rule, one testcase per judged view; a FAIL is a
// failure, an INCOMPLETE is skipped; impact and element are properties. Built
// a screen at a time: each screen's cases wait as text in a scratch file of
// their rule's (a thousand screens' cases are some 50 MB), not its result.
class JunitReport {
public:
    void add(const ScreenReport& screen);
    void write(std::ostream& document) const;

private:
    struct Suite {
        std::size_t tests = 0, failures = 0, skipped = 0;
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> cases{nullptr, std::fclose};
    };
    Suite& suite(const std::string& rule);
    std::map<std::string, Suite> suites_;  // by rule id
};
std::string junitReport(const std::vector<ScreenReport>& screens);

// SARIF 2.1.0, for code-scanning and review tools: one result per finding
// (FAIL a failure whose level follows its impact, INCOMPLETE one to review),
// its message with the element, frame and measured facts, a location in the
// bundle's capture (or the dump scanned and its line) and the element's place
// in the tree, a fingerprint that stays with the element, and the baseline's
// state. Built a screen at a time: it keeps each finding's result, not the
// screen's.
class SarifReport {
public:
    void add(const ScreenReport& screen);
    std::string document() const;

private:
    std::vector<std::string> results_;  // each result's JSON text
};

// GitLab's code-quality report (a JSON array of issues): each finding with its
// rule, message, severity from impact (an INCOMPLETE is "info"), the
// capture's or dump's path and line, and a fingerprint that stays with the
// element, so that merge requests show the findings that are new.
class GitlabReport {
public:
    void add(const ScreenReport& screen);
    std::string document() const;

private:
    std::vector<std::string> issues_;  // each issue's JSON text
};

// One self-contained HTML page (no network: the screenshot is embedded) per
// report: for each screen the screenshot with a numbered box over every view
// that has a finding, coloured by status and linked to its card and back, and
// the findings grouped by rule, most severe first, with impact, message,
// property bag and a contrast finding's colours as swatches with their ratio;
// filters by status, impact, rule and (with a baseline) known or new run in
// the page itself. `#status=FAIL&impact=SERIOUS&rule=...` in the address sets
// the filters when the page opens. Built a screen at a time: each
// screen's section goes to `sections` as it is added (a batch keeps no
// screenshot longer than it takes to write it), and finish() writes the page
// around what was written there.
class HtmlReport {
public:
    explicit HtmlReport(std::ostream& sections) : sections_(sections) {}
    void add(const ScreenReport& screen);
    void finish(std::ostream& page, std::istream& sections) const;

private:
    std::ostream& sections_;
    std::set<std::string> statuses_, rules_;
    std::set<AudImpact> impacts_;
    std::size_t screens_ = 0, findings_ = 0;
    bool anyKnown_ = false;  // a baseline knew a finding: the page filters known and new
};
std::string htmlReport(const std::vector<ScreenReport>& screens);

}  // namespace audkit::cli
