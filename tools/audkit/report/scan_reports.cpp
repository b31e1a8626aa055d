#include "tools/audkit/report/scan_reports.hpp"

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <nlohmann/json.hpp>
#include <ostream>

#include "audkit/rules/aud_result.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit::cli {
namespace {

// A JSON value as dump(2) writes it inside an array, each line indented once more.
std::string indented(const std::string& text) {
    std::string lines = "  ";
    for (const char c : text) {
        lines += c;
        if (c == '\n') lines += "  ";
    }
    return lines;
}

}  // namespace

ScanReports::ScanReports(Options options, std::ostream& out) : options_(std::move(options)), out_(out) {
    if (!options_.junit.empty()) junit_.emplace();
    if (!options_.sarif.empty()) sarif_.emplace();
    if (!options_.gitlab.empty()) gitlab_.emplace();
    if (!options_.html.empty()) {
        // The screens' sections wait in a file of their own until the page is put together.
        htmlSections_.emplace(options_.html + ".sections");
        html_.emplace(htmlSections_->stream());
    }
}

void ScanReports::add(const ScreenReport& screen) {
    const auto& result = *screen.result;
    const bool fails = failsTheGate(screen, options_.gate);
    failing_ = failing_ || fails;
    rows_.push_back({screen.name, result.failures().size(), result.incompletes().size(), result.passes().size(),
                     screen.coverage.viewsExamined, fails});
    if (junit_) junit_->add(screen);
    if (sarif_) sarif_->add(screen);
    if (gitlab_) gitlab_->add(screen);
    if (html_) html_->add(screen);
    if (options_.format == "json") {
        if (!options_.batch) {
            out_ << resultDocument(result, 2) << '\n';
            return;
        }
        nlohmann::ordered_json entry{{"bundle", screen.name}};
        entry["result"] = nlohmann::ordered_json::parse(resultDocument(result, -1));
        jsonEntry(entry.dump(2, ' ', false, nlohmann::json::error_handler_t::replace));
    } else if (options_.format == "description") {
        if (options_.batch) out_ << "== " << screen.name << '\n';
        out_ << result.description();
        if (options_.batch) out_ << '\n';
    } else {
        writeTextReport(out_, screen);
        if (options_.batch) out_ << '\n';
    }
}

void ScanReports::notScanned(const std::string& name, const std::string& why) {
    broken_ = true;
    rows_.push_back({name, std::nullopt, std::nullopt, std::nullopt, std::nullopt, false});
    if (!options_.batch) return;  // a single screen's reason is the command's error line
    if (options_.format == "json")
        jsonEntry(nlohmann::ordered_json{{"bundle", name}, {"error", why}}.dump(2));
    else
        out_ << name << ": not scanned: " << why << "\n\n";
}

void ScanReports::jsonEntry(const std::string& entry) {
    out_ << (anyJson_ ? ",\n" : "[\n") << indented(entry);
    anyJson_ = true;
}

void ScanReports::finish() {
    if (options_.batch) {
        if (options_.format == "json")
            out_ << (anyJson_ ? "\n]\n" : "[]\n");
        else
            summaryTable();
    }
    if (junit_) {
        OutputFile document(options_.junit);
        junit_->write(document.stream());
        document.commit();
    }
    if (sarif_) writeDocument(options_.sarif, sarif_->document());
    if (gitlab_) writeDocument(options_.gitlab, gitlab_->document());
    if (html_) {
        if (!htmlSections_->stream().flush()) throw UsageError("cannot write " + options_.html);
        std::ifstream sections(htmlSections_->partialPath(), std::ios::binary);
        OutputFile page(options_.html);
        html_->finish(page.stream(), sections);
        page.commit();
        // The sections' scratch file goes with its owner.
    }
}

void ScanReports::summaryTable() const {
    std::size_t width = 6;
    for (const auto& row : rows_) width = std::max(width, row.name.size());
    out_ << std::left << std::setw(static_cast<int>(width)) << "screen" << std::right << std::setw(10) << "failures"
         << std::setw(12) << "incomplete" << std::setw(8) << "passes" << std::setw(7) << "views"
         << "  verdict\n";
    for (const auto& row : rows_) {
        out_ << std::left << std::setw(static_cast<int>(width)) << row.name << std::right;
        if (!row.failures) {
            out_ << std::setw(10) << "-" << std::setw(12) << "-" << std::setw(8) << "-" << std::setw(7) << "-"
                 << "  ERROR\n";
            continue;
        }
        out_ << std::setw(10) << *row.failures << std::setw(12) << *row.incompletes << std::setw(8) << *row.passes
             << std::setw(7) << *row.views << "  " << (row.fails ? "FAIL" : "PASS") << '\n';
    }
}

}  // namespace audkit::cli
