// Command-line options.
#include "program/ProgramOptions.h"

#include <gtest/gtest.h>

using kpd::ParseProgramOptions;

TEST(ProgramOptions, ScreenshotAndQuitAfter) {
    const auto o = ParseProgramOptions({"--screenshot", "/tmp/x.png", "--quit-after", "8000"});
    EXPECT_TRUE(o.error.empty());
    EXPECT_EQ(o.screenshotFile, "/tmp/x.png");
    EXPECT_EQ(o.quitAfterMs, 8000);
    const auto none = ParseProgramOptions({"-platform", "offscreen"});
    EXPECT_TRUE(none.error.empty());
    EXPECT_TRUE(none.screenshotFile.empty());
    EXPECT_LT(none.quitAfterMs, 0);
}

TEST(ProgramOptions, BadValuesAreReported) {
    EXPECT_FALSE(ParseProgramOptions({"--screenshot"}).error.empty());
    EXPECT_FALSE(ParseProgramOptions({"--quit-after"}).error.empty());
    EXPECT_FALSE(ParseProgramOptions({"--quit-after", "8s"}).error.empty());
    EXPECT_FALSE(ParseProgramOptions({"--quit-after", "-5"}).error.empty());
    EXPECT_FALSE(ParseProgramOptions({"--quit-after", ""}).error.empty());
}

TEST(ProgramOptions, DisplayModeByNameOrNumber) {
    EXPECT_EQ(ParseProgramOptions({"--mode", "encoder"}).displayMode, 1);
    EXPECT_EQ(ParseProgramOptions({"--mode", "strength"}).displayMode, 2);
    EXPECT_EQ(ParseProgramOptions({"--mode", "3"}).displayMode, 3);
    EXPECT_EQ(ParseProgramOptions({"--mode", "status"}).displayMode, 0);
    EXPECT_EQ(ParseProgramOptions({}).displayMode, 0);
    EXPECT_FALSE(ParseProgramOptions({"--mode", "4"}).error.empty()); // the engineering display is not one
    EXPECT_FALSE(ParseProgramOptions({"--mode", "lissajous"}).error.empty());
    EXPECT_FALSE(ParseProgramOptions({"--mode"}).error.empty());
    const auto o = ParseProgramOptions({"--screenshot", "a.png", "--screenshot-after", "4000"});
    EXPECT_EQ(o.screenshotAfterMs, 4000);
    EXPECT_EQ(ParseProgramOptions({}).screenshotAfterMs, 1500);
    EXPECT_FALSE(ParseProgramOptions({"--screenshot-after", "soon"}).error.empty());
}
