// True verdicts on real apps' dumps: imports and scans every dump of
// ../shared/real-screens that has a reviewer's verdicts in
// tests/fixtures/real-screens, and prints per rule and overall the FAIL
// precision (findings a reviewer files / all FAILs), the FAILs missed and the
// share of INCOMPLETEs that point at something worth a manual look. Dumps
// without verdicts are named (a new dump needs its review).
// AUDKIT_BENCH_VERBOSE=1 lists every false FAIL, miss and noisy INCOMPLETE.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <unistd.h>

#include "audkit/base/zk_log.hpp"
#include "bench/one_recognition_thread.hpp"
#include "tests/support/real_dump_verdicts.hpp"

namespace {

namespace fs = std::filesystem;
using audkit::realdumps::Verdict;

struct Tally {
    std::size_t fails = 0, filed = 0, missed = 0, incompletes = 0, worth = 0;
};

double share(std::size_t part, std::size_t whole) { return whole == 0 ? 1.0 : static_cast<double>(part) / whole; }

}  // namespace

int main(int, char** argv) {
    oneRecognitionThread(argv);
    audkit::ZKLog::setSink([](std::string_view) {});
    const fs::path source(AUDKIT_SOURCE_DIR);
    const auto realScreens = source.parent_path() / "shared" / "real-screens";
    if (!fs::exists(realScreens)) {
        std::fprintf(stderr, "bench_real: %s is not here\n", realScreens.c_str());
        return 1;
    }
    const bool verbose = std::getenv("AUDKIT_BENCH_VERBOSE") != nullptr;
    const auto reviewed = audkit::realdumps::reviewedDumps(source / "tests/fixtures/real-screens", realScreens);
    std::set<fs::path> judged;
    for (const auto& dump : reviewed) judged.insert(dump.dump);
    for (const auto& entry : fs::recursive_directory_iterator(realScreens)) {
        const auto extension = entry.path().extension();
        if ((extension == ".xml" || extension == ".txt") && !judged.contains(entry.path()))
            std::printf("not reviewed yet: %s\n", fs::relative(entry.path(), realScreens).c_str());
    }
    const auto work = fs::temp_directory_path() / ("bench_real." + std::to_string(::getpid()));
    audkit::realdumps::Comparison comparison;
    std::map<std::string, Tally> byRule;  // every rule a reviewer judged has its row, FAILs or not
    for (const auto& dump : reviewed) {
        std::string error;
        const auto result = audkit::realdumps::importAndScan(dump, work / "bundle", error);
        if (!result) {
            std::fprintf(stderr, "bench_real: %s: %s\n", dump.dump.c_str(), error.c_str());
            fs::remove_all(work);
            return 1;
        }
        const auto truth = nlohmann::json::parse(std::ifstream(dump.truth));
        for (const auto& verdict : truth.at("verdicts")) byRule[verdict.at("rule").get<std::string>()];
        audkit::realdumps::compare(fs::relative(dump.dump, realScreens).string(), *result, truth, comparison);
    }
    fs::remove_all(work);

    Tally all;
    auto show = [&](const char* what, const audkit::realdumps::Finding& finding) {
        if (verbose)
            std::printf("  %s: %s line %d %s (%s)%s%s\n", what, finding.dump.c_str(), finding.line,
                        finding.rule.c_str(), finding.status.c_str(), finding.why.empty() ? "" : ": ",
                        finding.why.c_str());
    };
    for (const auto& fail : comparison.fails) {
        auto& tally = byRule[fail.rule];
        ++tally.fails, ++all.fails;
        if (fail.verdict == Verdict::file)
            ++tally.filed, ++all.filed;
        else
            show(fail.verdict == Verdict::unreviewed ? "unreviewed FAIL" : "false FAIL", fail);
    }
    for (const auto& missed : comparison.missed) {
        ++byRule[missed.rule].missed, ++all.missed;
        show("missed", missed);
    }
    for (const auto& incomplete : comparison.incompletes) {
        auto& tally = byRule[incomplete.rule];
        ++tally.incompletes, ++all.incompletes;
        if (incomplete.verdict == Verdict::worthALook || incomplete.verdict == Verdict::file)
            ++tally.worth, ++all.worth;
        else
            show("noisy INCOMPLETE", incomplete);
    }
    std::printf("%zu dumps reviewed\n%-26s %6s %6s %9s %7s %6s %6s\n", reviewed.size(), "rule", "FAIL", "filed",
                "precision", "missed", "INCOMP", "worth");
    auto row = [](const std::string& name, const Tally& tally) {
        std::printf("%-26s %6zu %6zu %9.3f %7zu %6zu %5.0f%%\n", name.c_str(), tally.fails, tally.filed,
                    share(tally.filed, tally.fails), tally.missed, tally.incompletes,
                    100 * share(tally.worth, tally.incompletes));
    };
    for (const auto& [rule, tally] : byRule) row(rule, tally);
    row("all rules", all);
    return 0;
}
