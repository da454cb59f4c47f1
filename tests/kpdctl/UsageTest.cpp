// The kpdctl program's command line as a script sees it: --help, bad usage with exit 2, no display
// needed.
#include "CtlProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using ctltest::RunCtl;

TEST(UsageTest, HelpListsCommandsAndExitCodes) {
    const auto r = RunCtl({"--help"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("Usage: kpdctl COMMAND"), std::string::npos);
    EXPECT_NE(r.out.find("Exit codes:"), std::string::npos);
    EXPECT_NE(r.out.find("3  find: no electronics answered on any port"), std::string::npos) << r.out;
    EXPECT_TRUE(r.err.empty());
}

TEST(UsageTest, BadUsageIsExitTwoWithTheReasonOnStandardError) {
    for (const auto &args : std::vector<std::vector<std::string>>{{},
                                                                  {"bogus"},
                                                                  {"status", "--count", "0"},
                                                                  {"record", "encoder", "-o", "x.lis"},
                                                                  {"read", "Nope"}}) {
        const auto r = RunCtl(args);
        EXPECT_EQ(r.code, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(r.err.find("kpdctl: "), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    const auto json = RunCtl({"align", "sideways", "--json"});
    EXPECT_EQ(json.code, 2);
    const auto errors = ctltest::ParseJsonLines(json.err);
    ASSERT_EQ(errors.size(), 1u) << json.err;
    EXPECT_EQ(errors[0]["type"].toString(), "error");
    EXPECT_EQ(errors[0]["exit"].toInt(), 2);
}

TEST(UsageTest, RunsWithoutADisplay) {
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::unsetenv("QT_QPA_PLATFORM");
    // Nothing on the ports: the search runs through and reports it (QtCore only, no platform plugin).
    const auto r = RunCtl({"find"});
    EXPECT_EQ(r.code, 3) << r.err;
    EXPECT_EQ(r.err.find("platform plugin"), std::string::npos) << r.err;
}

} // namespace
