#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tools/audkit/report/output_file.hpp"
#include "tools/audkit/report/reports.hpp"

namespace audkit::cli {

// Every report a scan asked for, written a screen at a time as the screens
// come, in order: the report on standard output in its format ("text",
// "description" or "json"), and the JUnit and HTML files. A batch (several
// screens, or a folder) prints each screen under its name and ends with a
// table of all screens; a single screen prints its report alone. What is
// kept of a screen once it is written is a line of the table.
class ScanReports {
public:
    struct Options {
        std::string format = "text";
        std::string junit, html, sarif, gitlab;  // files to write, when given
        bool batch = false;
        AudImpact gate = AudImpact::minor;
    };
    ScanReports(Options options, std::ostream& out);

    void add(const ScreenReport& screen);
    void notScanned(const std::string& name, const std::string& why);
    // Ends the output and moves the report files into place.
    void finish();

    bool anyFailing() const { return failing_; }
    bool anyNotScanned() const { return broken_; }

private:
    struct Row {
        std::string name;
        std::optional<std::size_t> failures, incompletes, passes, views;
        bool fails = false;
    };
    void jsonEntry(const std::string& entry);
    void summaryTable() const;

    Options options_;
    std::ostream& out_;
    std::vector<Row> rows_;
    std::optional<JunitReport> junit_;
    std::optional<SarifReport> sarif_;
    std::optional<GitlabReport> gitlab_;
    std::optional<OutputFile> htmlSections_;
    std::optional<HtmlReport> html_;
    bool failing_ = false, broken_ = false, anyJson_ = false;
};

}  // namespace audkit::cli
