// Reading "KPD.ini": key parsing, line ends, grating lines, and the all-defaults fallback.
#include "TempDir.h"
#include "data/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

const char *const kGratingFile = "grating A\r\ngrating B\r\n";

std::string numberLines(int n) {
    std::string g;
    for (int i = 0; i < n; ++i)
        g += std::to_string(i) + "\r\n";
    return g;
}

// A settings object whose fields all differ from the defaults, so a fallback is visible on every field.
Settings marked() {
    Settings s;
    s.siglevelmult = 9.0f;
    s.lissplot = 9;
    s.positionplot = 9.0f;
    s.minimumcircle = 0.9f;
    s.maximumcircle = 0.99f;
    s.showcircles = true;
    s.encodertype = 9;
    s.unittype = 9;
    s.digits = 9;
    s.units = "marked";
    s.signalplot = 9;
    s.gratingindex = 9;
    s.encoderplottype = 9;
    s.positionplottype = 9;
    s.numgratings = 1;
    s.gratings[0] = 9;
    s.gratingDescriptions = {"marked"};
    return s;
}

bool isDefault(const Settings &s) {
    Settings d;
    d.SetDefaults();
    return s.siglevelmult == d.siglevelmult && s.lissplot == d.lissplot && s.positionplot == d.positionplot &&
           s.minimumcircle == d.minimumcircle && s.maximumcircle == d.maximumcircle &&
           s.showcircles == d.showcircles && s.encodertype == d.encodertype && s.unittype == d.unittype &&
           s.digits == d.digits && s.units == d.units && s.signalplot == d.signalplot &&
           s.gratingindex == d.gratingindex && s.encoderplottype == d.encoderplottype &&
           s.positionplottype == d.positionplottype && s.numgratings == d.numgratings &&
           s.gratings == d.gratings && s.gratingDescriptions == d.gratingDescriptions;
}

class SettingsParse : public ::testing::Test {
protected:
    // Writes KPD.ini (and grating2.ini unless told otherwise), loads into a marked object.
    bool load(const std::string &ini, bool withGratingFile = true) {
        dir.write("KPD.ini", ini);
        if (withGratingFile) dir.write("grating2.ini", kGratingFile);
        s = marked();
        return s.LoadSettings(dir.path());
    }
    TempDir dir;
    Settings s;
};

} // namespace

TEST_F(SettingsParse, SpacesAreRemovedAndKeysAreCaseSensitive) {
    ASSERT_TRUE(load("  units = micro ns \r\nUnits=mm\r\n\t lissplot = 2 0 \t\r\n"));
    EXPECT_EQ(s.units, "microns");
    EXPECT_EQ(s.lissplot, 20);
}

TEST_F(SettingsParse, TabInsideValueIsAnError) {
    EXPECT_FALSE(load("lissplot=\t20x\r\n"));
    EXPECT_TRUE(isDefault(s));
}

TEST_F(SettingsParse, PositionPlotIsClampedAt65) {
    ASSERT_TRUE(load("positionplot=100\r\n"));
    EXPECT_EQ(s.positionplot, 65.0f);
    ASSERT_TRUE(load("positionplot=65\r\n"));
    EXPECT_EQ(s.positionplot, 65.0f);
    ASSERT_TRUE(load("positionplot=64.5\r\n"));
    EXPECT_EQ(s.positionplot, 64.5f);
}

TEST_F(SettingsParse, ShowCirclesNonZeroIsTrueAndWritesBackAsOne) {
    ASSERT_TRUE(load("showcircles=2\r\n"));
    EXPECT_TRUE(s.showcircles);
    EXPECT_EQ(s.SettingsLines()[5], "showcircles=1");
    ASSERT_TRUE(load("showcircles=0\r\n"));
    EXPECT_FALSE(s.showcircles);
    ASSERT_TRUE(load("showcircles=-1\r\n"));
    EXPECT_TRUE(s.showcircles);
}

TEST_F(SettingsParse, SigLevelMultWritesBackWithThreeDecimals) {
    ASSERT_TRUE(load("siglevelmult=1.15\n"));
    EXPECT_EQ(s.SettingsLines()[0], "siglevelmult=1.150");
}

TEST_F(SettingsParse, AbsentKeysKeepTheirValuesAndGratingFileIsNotRead) {
    ASSERT_TRUE(load("lissplot=77\r\n", /*withGratingFile=*/false));
    EXPECT_EQ(s.lissplot, 77);
    EXPECT_EQ(s.units, "marked");
    EXPECT_EQ(s.numgratings, 1);
    EXPECT_EQ(s.gratingDescriptions, std::vector<std::string>{"marked"});

    // On a fresh object the grating table and the descriptions stay empty.
    Settings fresh;
    ASSERT_TRUE(fresh.LoadSettings(dir.path()));
    EXPECT_EQ(fresh.numgratings, 0);
    EXPECT_TRUE(fresh.gratingDescriptions.empty());
}

TEST_F(SettingsParse, LastOccurrenceWinsAndOtherLinesAreSkipped) {
    ASSERT_TRUE(load("lissplot=1\r\n# comment without equals\r\nfoo=bar\r\n\r\nlissplot=3\r\n=5\r\n"));
    EXPECT_EQ(s.lissplot, 3);
}

TEST_F(SettingsParse, AllLineEndsAreAccepted) {
    for (const std::string end : {"\r\n", "\n", "\r"}) {
        ASSERT_TRUE(
            load("lissplot=5" + end + "signalplot=6" + end + "numgratings=2" + end + "11" + end + "22"))
            << "line end "
            << (end == "\r"   ? "CR"
                : end == "\n" ? "LF"
                              : "CRLF");
        EXPECT_EQ(s.lissplot, 5);
        EXPECT_EQ(s.signalplot, 6);
        EXPECT_EQ(s.numgratings, 2);
        EXPECT_EQ(s.gratings[0], 11);
        EXPECT_EQ(s.gratings[1], 22);
        EXPECT_EQ(s.gratingDescriptions, (std::vector<std::string>{"grating A", "grating B"}));
    }
    dir.write("grating2.ini", "one\rtwo\nthree");
    ASSERT_TRUE(s.LoadSettings(dir.path()));
    EXPECT_EQ(s.gratingDescriptions, (std::vector<std::string>{"one", "two", "three"}));
}

TEST_F(SettingsParse, GratingLinesFollowTheCountAndTheLoopContinues) {
    ASSERT_TRUE(load("numgratings=2\r\n100\r\n-200\r\nlissplot=8\r\n"));
    EXPECT_EQ(s.gratings[0], 100);
    EXPECT_EQ(s.gratings[1], -200);
    EXPECT_EQ(s.lissplot, 8);
    // A grating line that looks like a key is still a grating line (and here not a number).
    EXPECT_FALSE(load("numgratings=1\r\nlissplot=8\r\n"));
    EXPECT_TRUE(isDefault(s));
}

TEST_F(SettingsParse, GratingLinesMayStartWithBlanks) {
    // Read as the standard integer conversion reads them: blanks before the number are skipped.
    ASSERT_TRUE(load("numgratings=3\r\n 10000\r\n\t 16384\r\n   -7\r\n"));
    EXPECT_EQ(s.numgratings, 3);
    EXPECT_EQ(s.gratings[0], 10000);
    EXPECT_EQ(s.gratings[1], 16384);
    EXPECT_EQ(s.gratings[2], -7);
}

TEST_F(SettingsParse, GratingDescriptionsKeepTheirSpaces) {
    dir.write("grating2.ini", "  spaced  description \r\n");
    dir.write("KPD.ini", "numgratings=0\r\n");
    ASSERT_TRUE(s.LoadSettings(dir.path()));
    EXPECT_EQ(s.numgratings, 0);
    EXPECT_EQ(s.gratingDescriptions, std::vector<std::string>{"  spaced  description "});
}

TEST_F(SettingsParse, NumbersAcceptedByTheConversions) {
    ASSERT_TRUE(load("siglevelmult=+1.5\r\nminimumcircle=.25\r\nmaximumcircle=1e-1\r\nlissplot=-12\r\n"
                     "signalplot=+7\r\ngratingindex=2147483647\r\nnumgratings=100\r\n" +
                     numberLines(100)));
    EXPECT_EQ(s.siglevelmult, 1.5f);
    EXPECT_EQ(s.minimumcircle, 0.25f);
    EXPECT_EQ(s.maximumcircle, 0.1f);
    EXPECT_EQ(s.lissplot, -12);
    EXPECT_EQ(s.signalplot, 7);
    EXPECT_EQ(s.gratingindex, 2147483647);
    EXPECT_EQ(s.numgratings, 100);
    EXPECT_EQ(s.gratings[99], 99);
}

// Every kind of malformed file falls back to the defaults, including the fields read before the error.
struct Malformed {
    const char *name;
    std::string ini;
    bool gratingFile;
};

class SettingsMalformed : public ::testing::TestWithParam<Malformed> {};

TEST_P(SettingsMalformed, FallsBackToDefaults) {
    TempDir dir;
    dir.write("KPD.ini", GetParam().ini);
    if (GetParam().gratingFile) dir.write("grating2.ini", kGratingFile);
    Settings s = marked();
    EXPECT_FALSE(s.LoadSettings(dir.path()));
    EXPECT_TRUE(isDefault(s));
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsMalformed,
    ::testing::Values(Malformed{"LettersInInt", "lissplot=7\r\nsignalplot=12a\r\n", true},
                      Malformed{"FloatTextInInt", "lissplot=1.5\r\n", true},
                      Malformed{"EmptyInt", "lissplot=\r\n", true},
                      Malformed{"HexInt", "lissplot=0x10\r\n", true},
                      Malformed{"IntOverflow", "lissplot=2147483648\r\n", true},
                      Malformed{"DoubleSign", "lissplot=+-3\r\n", true},
                      Malformed{"CommaFloat", "siglevelmult=1,15\r\n", true},
                      Malformed{"EmptyFloat", "positionplot=\r\n", true},
                      Malformed{"NanFloat", "minimumcircle=nan\r\n", true},
                      Malformed{"InfFloat", "maximumcircle=inf\r\n", true},
                      Malformed{"FloatOutOfRange", "maximumcircle=1e60\r\n", true},
                      Malformed{"TrailingJunkFloat", "positionplot=8s\r\n", true},
                      Malformed{"ShowCirclesText", "showcircles=true\r\n", true},
                      Malformed{"CountAbove100", "numgratings=101\r\n" + numberLines(101), true},
                      Malformed{"NegativeCount", "numgratings=-1\r\n", true},
                      Malformed{"TruncatedGratingList", "lissplot=9\r\nnumgratings=3\r\n1\r\n2\r\n", true},
                      Malformed{"GratingLineWithTrailingSpace", "numgratings=1\r\n10000 \r\n", true},
                      Malformed{"GratingLineWithSpaceInside", "numgratings=1\r\n10 000\r\n", true},
                      Malformed{"GratingLineBlank", "numgratings=1\r\n \t\r\n", true},
                      Malformed{"GratingLineNotNumber", "numgratings=1\r\nabc\r\n", true},
                      Malformed{"GratingFileMissing", "numgratings=1\r\n10000\r\n", false}),
    [](const ::testing::TestParamInfo<Malformed> &info) { return std::string(info.param.name); });

TEST(SettingsMalformedFile, SettingsPathIsADirectory) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("KPD.ini"));
    Settings s = marked();
    EXPECT_FALSE(s.LoadSettings(dir.path()));
    EXPECT_TRUE(isDefault(s));
}

TEST(SettingsMalformedFile, GratingPathIsADirectory) {
    TempDir dir;
    dir.write("KPD.ini", "numgratings=0\r\n");
    std::filesystem::create_directory(dir.file("grating2.ini"));
    Settings s = marked();
    EXPECT_FALSE(s.LoadSettings(dir.path()));
    EXPECT_TRUE(isDefault(s));
}

TEST(SettingsMalformedFile, DerivedValuesSurviveTheFallback) {
    TempDir dir;
    dir.write("KPD.ini", "lissplot=x\r\n");
    Settings s;
    s.resolutionMultiplier = 2.5f;
    s.gratingPitch = 20.0f;
    s.generation = 3;
    EXPECT_FALSE(s.LoadSettings(dir.path()));
    EXPECT_EQ(s.resolutionMultiplier, 2.5f);
    EXPECT_EQ(s.gratingPitch, 20.0f);
    EXPECT_EQ(s.generation, 3);
}
