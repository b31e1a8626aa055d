#include <algorithm>
#include <cctype>
#include <iomanip>
#include <ostream>

#include "audkit/rules/rule_catalogue.hpp"
#include "tools/audkit/commands/commands.hpp"
#include "tools/audkit/report/rule_pages.hpp"

namespace audkit::cli {
namespace {

const RuleInfo* ruleNamed(const std::string& name) {
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    };
    for (const auto& rule : ruleCatalogue())
        if (lower(std::string(toString(rule.info->id))) == lower(name)) return rule.info;
    return nullptr;
}

}  // namespace

int runRules(std::ostream& out) {
    std::size_t idWidth = 0, standardWidth = 0;
    for (const auto& rule : ruleCatalogue()) {
        idWidth = std::max(idWidth, toString(rule.info->id).size());
        standardWidth = std::max(standardWidth, standardText(*rule.info).size());
    }
    for (const auto& rule : ruleCatalogue()) {
        const auto& info = *rule.info;
        out << std::left << std::setw(static_cast<int>(idWidth + 2)) << toString(info.id) << std::setw(10)
            << toString(info.impact) << std::setw(static_cast<int>(standardWidth + 2)) << standardText(info)
            << (info.experimental ? "experimental  " : "") << info.summary << '\n';
    }
    out << "\naudkit explain RULE tells what a rule checks, why it matters and how to fix what it finds.\n";
    return exitSuccess;
}

int runExplain(const std::string& rule, std::ostream& out, std::ostream& err) {
    const auto* info = ruleNamed(rule);
    if (!info) {
        err << "audkit: there is no rule " << rule << " (audkit rules lists them)\n";
        return exitUsage;
    }
    const std::string id(toString(info->id));
    out << id << ": " << toString(info->impact) << ", " << standardText(*info)
        << (info->experimental ? ", experimental (its failures are advisory unless --fail-on-experimental)" : "")
        << (info->ignoredByDefault ? ", off unless asked for" : "") << "\n"
        << info->summary << "\n";
    if (const auto page = rulePage(id)) {
        // The page's own title repeats the id just printed.
        auto text = *page;
        if (text.starts_with("# ")) text.remove_prefix(std::min(text.size(), text.find('\n') + 1));
        out << text;
    }
    return exitSuccess;
}

}  // namespace audkit::cli
