#include <gtest/gtest.h>

#include <stdexcept>

#include "audkit/base/error.hpp"
#include "audkit/base/error_utils.hpp"
#include "audkit/base/process_state.hpp"
#include "audkit/base/zk_log.hpp"
#include "tests/support/test_support.hpp"

namespace audkit {
namespace {

class Informational : public DebugMessages {
public:
    explicit Informational(std::optional<std::string> text) : text_(std::move(text)) {}
    std::optional<std::string> message() const override { return text_; }

private:
    std::optional<std::string> text_;
};

class ForcedWarning : public WarningMessages {
public:
    bool forcePrint() const override { return true; }
    std::optional<std::string> message() const override { return "careful"; }
};

TEST(ZKLog, PrintsErrorsAlwaysButDebugMessagesOnlyWithDebugOutput) {
    test::LogCapture log;
    ZKLog::log(MessageError("broken"));
    ZKLog::log(Informational("hello"));
    ZKLog::debug("inline");
    EXPECT_EQ(log.lines(), std::vector<std::string>{"ZUNIK ERROR: broken"});

    processState().debugStatements = true;
    ZKLog::log(Informational("hello"));
    ZKLog::debug("inline");
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"ZUNIK ERROR: broken", "ZUNIK LOG: hello", "ZUNIK LOG: inline"}));
}

TEST(ZKLog, AbsentMessagePrintsNothingAfterThePrefix) {
    test::LogCapture log;
    processState().debugStatements = true;
    ZKLog::log(Informational(std::nullopt));
    EXPECT_EQ(log.lines(), std::vector<std::string>{"ZUNIK LOG: "});
}

TEST(ZKLog, WarningsPrintWithoutDebugOutputOnlyWhenForced) {
    test::LogCapture log;
    ZKLog::log(ForcedWarning());
    EXPECT_EQ(log.lines(), std::vector<std::string>{"ZUNIK WARNING: careful"});
}

TEST(ErrorUtils, LogsLibraryAndForeignErrorsAndReportsSuccess) {
    test::LogCapture log;
    EXPECT_TRUE(ErrorUtils::runAndLog([] {}));
    EXPECT_FALSE(ErrorUtils::runAndLog([] { throw MessageError("rule DNE"); }));
    EXPECT_FALSE(ErrorUtils::runAndLog([] { throw std::out_of_range("index 7"); }));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"ZUNIK ERROR: rule DNE", "ZUNIK ERROR: index 7"}));
}

}  // namespace
}  // namespace audkit
