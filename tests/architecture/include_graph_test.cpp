#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

namespace fs = std::filesystem;

// Which folders each folder may include. Layers point one way: base <- tree
// <- vision <- rules <- facade; network builds on base and the model types it
// posts; platform implements the interfaces the others declare; the offline
// entry joins the facade to the capture-bundle platform; the command-line
// tool sits on top of everything.
const std::map<std::string, std::set<std::string>> allowed{
    {"base", {}},
    {"tree", {"base"}},
    {"vision", {"base", "tree"}},
    {"rules", {"base", "tree", "vision"}},
    {"network", {"base", "tree", "rules"}},
    {"facade", {"base", "tree", "vision", "rules", "network"}},
    {"platform", {"base", "tree", "vision", "network"}},
    {"offline", {"base", "tree", "vision", "rules", "network", "facade", "platform"}},
    {"tools", {"base", "tree", "vision", "rules", "network", "facade", "platform", "offline"}},
    // The umbrella header at the top: what a program includes.
    {"audkit.hpp", {"facade", "offline", "platform", "rules"}},
};

// Every "audkit/<folder>/" include of a source file, with the line it is on.
std::vector<std::pair<std::string, std::string>> includedFolders(const fs::path& file) {
    static const std::regex include(R"(^\s*#\s*include\s*"audkit/([a-z_]+)/)");
    std::vector<std::pair<std::string, std::string>> found;
    std::ifstream in(file);
    std::string line;
    std::smatch match;
    while (std::getline(in, line))
        if (std::regex_search(line, match, include)) found.emplace_back(match[1], line);
    return found;
}

std::vector<std::string> violations() {
    std::vector<std::string> wrong;
    const auto root = test::sourceDir();
    const std::vector<std::pair<fs::path, std::string>> trees{{root / "audkit", ""}, {root / "tools", "tools"}};
    for (const auto& [top, fixedLayer] : trees) {
        for (const auto& entry : fs::recursive_directory_iterator(top)) {
            const auto extension = entry.path().extension();
            if (!entry.is_regular_file() || (extension != ".hpp" && extension != ".cpp")) continue;
            const auto layer = fixedLayer.empty() ? fs::relative(entry.path(), top).begin()->string() : fixedLayer;
            const auto rules = allowed.find(layer);
            if (rules == allowed.end()) {
                wrong.push_back(entry.path().string() + ": folder " + layer + " has no place in the layers");
                continue;
            }
            for (const auto& [folder, line] : includedFolders(entry.path()))
                if (folder != layer && !rules->second.contains(folder))
                    wrong.push_back(fs::relative(entry.path(), root).string() + ": " + line);
        }
    }
    return wrong;
}

TEST(IncludeGraph, EveryIncludeFollowsTheLayers) {
    const auto wrong = violations();
    std::string listing;
    for (const auto& line : wrong) listing += "\n  " + line;
    EXPECT_TRUE(wrong.empty()) << "includes against the layers:" << listing;
}

TEST(IncludeGraph, TheCheckSeesIncludes) {
    // The check must find the includes it judges: the runner includes the
    // rules it runs, and the base layer holds the errors everything throws.
    const auto runner = includedFolders(test::sourceDir() / "audkit/facade/aud.hpp");
    EXPECT_TRUE(std::any_of(runner.begin(), runner.end(), [](const auto& found) { return found.first == "rules"; }));
    EXPECT_TRUE(fs::exists(test::sourceDir() / "audkit/base/error.hpp"));
}

}  // namespace
}  // namespace audkit
