#include <ostream>

#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/import/dump_import.hpp"
#include "tools/audkit/report/text_output.hpp"

namespace audkit::cli {

int runImport(const ImportOptions& options, std::ostream& out, std::ostream& err) {
    try {
        std::vector<std::string> warnings;
        const auto format = importDump(options.dump, options.screenshot, options.output, warnings);
        for (const auto& warning : warnings) err << "audkit: " << options.dump << ": " << warning << '\n';
        out << options.output << ": " << format << " imported"
            << (options.screenshot.empty() ? " without a screenshot" : " with its screenshot") << '\n';
        return exitSuccess;
    } catch (const std::exception& error) {
        err << "audkit: " << failureLine(error) << '\n';
        return exitUsage;
    }
}

}  // namespace audkit::cli
