#include <cerrno>
#include <cstring>
#include <map>
#include <ostream>
#include <sstream>

#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/report/reports.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::cli {
namespace {

std::string frameText(const Finding& finding, float scale) {
    const auto frame = finding.frameInPoints(scale);
    return number(frame.x) + ", " + number(frame.y) + ", " + number(frame.width) + " x " + number(frame.height) + " pt";
}

void append(std::FILE* file, const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size())
        throw UsageError(std::string("cannot write the JUnit report's scratch file: ") + std::strerror(errno));
}

}  // namespace

JunitReport::Suite& JunitReport::suite(const std::string& rule) {
    auto& suite = suites_[rule];
    if (!suite.cases) {
        // Anonymous: the system removes it however the program ends.
        suite.cases.reset(std::tmpfile());
        if (!suite.cases)
            throw UsageError(std::string("cannot make a scratch file for the JUnit report: ") + std::strerror(errno));
    }
    return suite;
}

void JunitReport::add(const ScreenReport& screen) {
    // A rule the scan did not run is one skipped case for the screen, saying
    // why, so a report never passes over it in silence.
    for (const auto& [rule, why] : screen.coverage.rulesNotRun) {
        auto& suite = this->suite(rule);
        ++suite.skipped, ++suite.tests;
        append(suite.cases.get(), "    <testcase classname=\"" + markup(screen.name) + "\" name=\"not run\">\n" +
                                      "      <skipped message=\"not run: " + markup(why) + "\"/>\n    </testcase>\n");
    }
    const float scale = screen.result->audContext ? screen.result->audContext->audDevice.scale : 1.0F;
    // A case is named by its element alone, the same from run to run whatever
    // its status and whatever else was found; elements alike in a rule's
    // suite are told apart by their order on the screen.
    std::map<std::pair<std::string, std::string>, std::size_t> named;  // (rule, element) -> cases so far
    for (auto& judged : judgedViews(*screen.result)) {
        // The baseline's verdict on the finding (findings are numbered from 1 in order).
        if (judged.number) judged.known = screen.findings[judged.number - 1].known;
        const auto& result = *judged.result;
        if (result.status == AudStatus::inapplicable) continue;
        auto& suite = this->suite(result.ruleId);
        ++suite.tests;
        std::string name = judged.element();
        if (const auto alike = ++named[{result.ruleId, name}]; alike > 1) name += " (" + std::to_string(alike) + ")";
        std::ostringstream body;
        body << "    <testcase classname=\"" << markup(screen.name) << "\" name=\"" << markup(name) << "\">\n";
        body << "      <properties>\n";
        body << "        <property name=\"impact\" value=\"" << markup(toString(result.impact)) << "\"/>\n";
        body << "        <property name=\"element\" value=\"" << markup(judged.element()) << "\"/>\n";
        body << "        <property name=\"frame\" value=\"" << markup(frameText(judged, scale)) << "\"/>\n";
        body << "        <property name=\"status\" value=\"" << markup(toString(result.status)) << "\"/>\n";
        if (result.experimental) body << "        <property name=\"experimental\" value=\"true\"/>\n";
        if (judged.known) body << "        <property name=\"baseline\" value=\"known\"/>\n";
        body << "      </properties>\n";
        const auto details = result.props ? result.props->description() : std::string();
        if (judged.known) {
            ++suite.skipped;  // accepted: reported, not failed
            body << "      <skipped message=\"known from the baseline: " << markup(result.ruleSummary) << "\"/>\n";
        } else if (result.status == AudStatus::fail && !counts(screen, judged)) {
            ++suite.skipped;  // an experimental rule's: reported, advisory
            body << "      <skipped message=\"advisory (experimental rule): " << markup(result.ruleSummary) << "\"/>\n";
        } else if (result.status == AudStatus::fail) {
            ++suite.failures;
            body << "      <failure type=\"" << markup(toString(result.impact)) << "\" message=\""
                 << markup(result.ruleSummary) << "\">" << markup(details) << "</failure>\n";
        } else if (result.status == AudStatus::incomplete || result.status == AudStatus::ignored) {
            ++suite.skipped;
            body << "      <skipped message=\""
                 << markup(result.status == AudStatus::ignored ? "ignored" : result.ruleSummary) << "\"/>\n";
        }
        body << "    </testcase>\n";
        append(suite.cases.get(), body.str());
    }
}

void JunitReport::write(std::ostream& document) const {
    std::size_t tests = 0, failures = 0, skipped = 0;
    for (const auto& [rule, suite] : suites_)
        tests += suite.tests, failures += suite.failures, skipped += suite.skipped;
    document << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
             << "<testsuites name=\"audkit\" tests=\"" << tests << "\" failures=\"" << failures
             << "\" errors=\"0\" skipped=\"" << skipped << "\">\n";
    std::vector<char> buffer(1 << 16);
    for (const auto& [rule, suite] : suites_) {
        document << "  <testsuite name=\"" << markup(rule) << "\" tests=\"" << suite.tests << "\" failures=\""
                 << suite.failures << "\" errors=\"0\" skipped=\"" << suite.skipped << "\">\n";
        std::rewind(suite.cases.get());
        while (const auto read = std::fread(buffer.data(), 1, buffer.size(), suite.cases.get()))
            document.write(buffer.data(), static_cast<std::streamsize>(read));
        if (std::ferror(suite.cases.get()))
            throw UsageError(std::string("cannot read the JUnit report's scratch file: ") + std::strerror(errno));
        document << "  </testsuite>\n";
    }
    document << "</testsuites>\n";
}

std::string junitReport(const std::vector<ScreenReport>& screens) {
    JunitReport report;
    for (const auto& screen : screens) report.add(screen);
    std::ostringstream document;
    report.write(document);
    return document.str();
}

}  // namespace audkit::cli
