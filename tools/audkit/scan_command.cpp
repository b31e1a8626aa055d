#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>

#include "audkit/base/error.hpp"
#include "audkit/base/process_state.hpp"
#include "audkit/base/zk_log.hpp"
#include "audkit/facade/aud_kit.hpp"
#include "audkit/offline/scan_bundle.hpp"
#include "audkit/platform/bundle_platform.hpp"
#include "audkit/platform/png_codec.hpp"
#include "tools/audkit/annotated_screenshot.hpp"
#include "tools/audkit/backend_login.hpp"
#include "tools/audkit/commands.hpp"
#include "tools/audkit/reports.hpp"
#include "tools/audkit/text_output.hpp"

namespace audkit::cli {
namespace {

class UsageError : public Error {
public:
    using Error::Error;
};

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= text.size()) {
        const auto end = std::min(text.find(separator, start), text.size());
        if (end > start) pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

void requireKnownRule(const AudConf& conf, const std::string& id) {
    if (!conf.rules.contains(id)) throw UsageError("unknown rule id \"" + id + "\" (see the rule ids in the result)");
}

std::shared_ptr<AudConf> configuration(const ScanOptions& options) {
    auto conf = std::make_shared<AudConf>();
    if (options.dynamicType) conf->setOptInToSupportsDynamicType(true);
    for (const auto& id : options.ignore) requireKnownRule(*conf, id);
    if (!options.ignore.empty()) conf->ignore(options.ignore, true);
    std::map<std::string, std::set<std::string>> views;
    for (const auto& entry : options.ignoreViews) {
        const auto equals = entry.find('=');
        if (equals == std::string::npos || equals == 0 || equals + 1 == entry.size())
            throw UsageError("--ignore-view needs KEY=RULE_ID[,RULE_ID...], got \"" + entry + "\"");
        for (const auto& id : split(entry.substr(equals + 1), ',')) {
            requireKnownRule(*conf, id);
            views[entry.substr(0, equals)].insert(id);
        }
    }
    if (!views.empty()) conf->ignoreRulesFor(views);
    return conf;
}

// The least impact a failure needs to fail the scan.
AudImpact failureGate(const std::string& level) {
    for (const auto impact : allCases<AudImpact>()) {
        auto name = std::string(toString(impact));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        if (name == level) return impact;
    }
    throw UsageError("--fail-on needs minor, moderate, serious or critical, got \"" + level + "\"");
}

bool failsTheGate(const AudResult& result, AudImpact gate) {
    const auto failures = result.failures();
    return std::any_of(failures.begin(), failures.end(), [&](const auto& failure) {
        return static_cast<int>(failure->impact) >= static_cast<int>(gate);
    });
}

// Written beside the target first and then moved over it, so a failed write
// never leaves half a document.
void writeDocument(const std::string& path, const std::string& document) {
    const std::filesystem::path target(path);
    const auto temporary = target.string() + ".partial";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!(file << document) || !file.flush()) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw UsageError("cannot write " + path);
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) throw UsageError("cannot write " + path + ": " + error.message());
}

}  // namespace

int runScan(const ScanOptions& options, const LoginOptions& login, std::ostream& out, std::ostream& err) {
    processState().debugStatements = options.debug;
    auto stage = [&](const char* text) {
        if (options.progress) err << "audkit: " << text << "...\n" << std::flush;
    };
    try {
        const auto gate = failureGate(options.failOn);
        auto conf = configuration(options);
        const bool backend = options.post || !options.save.empty();
        std::unique_ptr<AudKit> kit;
        if (backend) {
            stage("logging in");
            kit = loginToBackend(login);
        } else {
            kit = AudKit::offline();
        }
        kit->setConfiguration(conf);
        stage("reading the bundle");
        BundlePlatform platform(CaptureBundle::open(options.bundle));
        stage("recognising text and running the rules");
        const auto result = kit->runOnElement(platform, *platform.elementUnderTest());
        // A capture in which nothing is visible (unreadable frames, every
        // element hidden) was not examined: that is no pass.
        if (!examinedAnyView(*result)) {
            err << "audkit: " << platform.bundle().capturePath().string()
                << ": no element of the capture is visible on the screen, so nothing was examined\n";
            return exitUsage;
        }
        const auto report = screenReport(options.bundle, result);
        if (!options.output.empty()) writeDocument(options.output, resultDocument(*result, 2) + "\n");
        if (!options.junit.empty()) writeDocument(options.junit, junitReport({report}));
        if (!options.html.empty()) writeDocument(options.html, htmlReport({report}));
        if (!options.annotate.empty()) {
            const auto& screenshot = result->audContext->screenshot.decoded;
            if (!screenshot) throw UsageError("--annotate needs a screenshot, and this capture has none");
            writeDocument(options.annotate, encodePng(annotatedScreenshot(*screenshot, report.findings,
                                                                          result->audContext->audDevice.scale)));
        }
        if (options.format == "json")
            out << resultDocument(*result, 2) << '\n';
        else if (options.format == "description")
            out << result->description();
        else
            writeTextReport(out, report);
        // Rules that could not run are named, never passed over in silence
        // (the text report lists them itself).
        if (options.format != "text")
            for (const auto& [id, reason] : result->rulesNotRun)
                err << "audkit: " << id << " was not run: " << reason << '\n';
        const std::optional<std::string> scanName =
            options.scanName.empty() ? std::nullopt : std::optional<std::string>(options.scanName);
        if (!options.save.empty()) {
            out << kit->saveResultInFolder(*result, options.save, "", scanName) << '\n';
        }
        if (options.post) {
            stage("posting the result");
            try {
                out << kit->postResult(*result, options.tags, scanName).description() << '\n';
            } catch (const PostFollowUpError& error) {
                // The result is stored: its key is printed where it always is.
                out << error.key().description() << '\n';
                throw;
            }
        }
        return failsTheGate(*result, gate) ? exitFailures : exitSuccess;
    } catch (const std::exception& error) {
        err << "audkit: " << failureLine(error) << '\n';
        return exitUsage;
    }
}

}  // namespace audkit::cli
