#include <gtest/gtest.h>

#include <sstream>

#include "audkit/rules/rule_catalogue.hpp"
#include "tools/audkit/commands/commands.hpp"

namespace audkit {
namespace {

// Every rule of the catalogue is listed once and has its page, which explain
// prints with the rule's facts; a rule that does not exist is a usage error.
TEST(RuleDocs, EveryRuleIsListedAndExplained) {
    std::ostringstream list;
    ASSERT_EQ(cli::runRules(list), 0);
    for (const auto& rule : ruleCatalogue()) {
        const std::string id(toString(rule.info->id));
        EXPECT_TRUE(list.str().starts_with(id + " ") || list.str().find("\n" + id + " ") != std::string::npos) << id;
        std::ostringstream out, err;
        ASSERT_EQ(cli::runExplain(id, out, err), 0) << err.str();
        for (const char* section :
             {"## What it checks", "## Why it matters", "## How to fix", "UIKit:", "SwiftUI:", "## Known limits"})
            EXPECT_NE(out.str().find(section), std::string::npos) << id << " has no " << section;
        EXPECT_EQ(out.str().rfind(id + ": " + std::string(toString(rule.info->impact)), 0), 0U) << out.str();
    }
    std::ostringstream out, err;
    EXPECT_EQ(cli::runExplain("NoSuchRule", out, err), 2);
    EXPECT_NE(err.str().find("there is no rule NoSuchRule (audkit rules lists them)"), std::string::npos);
}

}  // namespace
}  // namespace audkit
