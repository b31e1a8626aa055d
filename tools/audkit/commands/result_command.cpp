#include <fstream>
#include <ostream>

#include "audkit/base/error.hpp"
#include "audkit/base/process_state.hpp"
#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/report/text_output.hpp"
#include "tools/audkit/scan/backend_login.hpp"

namespace audkit::cli {

int runResult(const ResultOptions& options, const LoginOptions& login, std::ostream& out, std::ostream& err) {
    processState().debugStatements = options.debug;
    try {
        const auto key = AudKitResultKey::fromFabTitle(options.key);
        if (!key) throw Error("\"" + options.key + "\" is no result key (userId/packageName/resultId)");
        auto kit = loginToBackend(login);
        if (options.action == "get") {
            const auto document = resultDocument(*kit->getResult(*key), 2) + "\n";
            if (options.output.empty()) {
                out << document;
            } else {
                std::ofstream file(options.output, std::ios::binary | std::ios::trunc);
                if (!(file << document)) throw Error("cannot write " + options.output);
            }
        } else if (options.action == "tag") {
            if (options.arguments.empty()) throw Error("result tag needs at least one TAG");
            kit->tagResult(*key, options.arguments);
        } else if (options.action == "rename") {
            if (options.arguments.size() != 1) throw Error("result rename needs exactly one NAME");
            kit->updateScanName(*key, options.arguments.front());
        } else if (options.action == "delete") {
            kit->deleteResult(*key);
        }
        return exitSuccess;
    } catch (const std::exception& error) {
        err << "audkit: " << failureLine(error) << '\n';
        return exitUsage;
    }
}

}  // namespace audkit::cli
