// Writing and reading "KPD.ini" and "grating2.ini": default file, round trip, safe replacement, locale.
#include "TempDir.h"
#include "data/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <filesystem>
#include <locale>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

const std::vector<std::string> kDefaultLines = {
    "siglevelmult=1.150",
    "lissplot=150",
    "positionplot=8",
    "minimumcircle=0.187",
    "maximumcircle=0.575",
    "showcircles=0",
    "encodertype=1",
    "unittype=0",
    "digits=0",
    "units=counts",
    "signalplot=500",
    "gratingindex=0",
    "encoderplottype=2",
    "positionplottype=0",
    "numgratings=4",
    "10000",
    "16384",
    "32768",
    "65536",
};

std::string crlfJoin(const std::vector<std::string> &lines) {
    std::string s;
    for (const auto &l : lines)
        s += l + "\r\n";
    return s;
}

Settings nonDefaultSettings() {
    Settings s;
    s.siglevelmult = 2.5f;
    s.lissplot = 321;
    s.positionplot = 12.25f;
    s.minimumcircle = 0.25f;
    s.maximumcircle = 0.875f;
    s.showcircles = true;
    s.encodertype = 0;
    s.unittype = 3;
    s.digits = 4;
    s.units = "microinches";
    s.signalplot = 777;
    s.gratingindex = 2;
    s.encoderplottype = 1;
    s.positionplottype = 3;
    s.numgratings = 3;
    s.gratings[0] = 1;
    s.gratings[1] = -5;
    s.gratings[2] = 2147483647;
    s.gratingDescriptions = {"first grating", " second, with comma", "third"};
    return s;
}

void expectSameStoredFields(const Settings &a, const Settings &b) {
    EXPECT_EQ(a.siglevelmult, b.siglevelmult);
    EXPECT_EQ(a.lissplot, b.lissplot);
    EXPECT_EQ(a.positionplot, b.positionplot);
    EXPECT_EQ(a.minimumcircle, b.minimumcircle);
    EXPECT_EQ(a.maximumcircle, b.maximumcircle);
    EXPECT_EQ(a.showcircles, b.showcircles);
    EXPECT_EQ(a.encodertype, b.encodertype);
    EXPECT_EQ(a.unittype, b.unittype);
    EXPECT_EQ(a.digits, b.digits);
    EXPECT_EQ(a.units, b.units);
    EXPECT_EQ(a.signalplot, b.signalplot);
    EXPECT_EQ(a.gratingindex, b.gratingindex);
    EXPECT_EQ(a.encoderplottype, b.encoderplottype);
    EXPECT_EQ(a.positionplottype, b.positionplottype);
    ASSERT_EQ(a.numgratings, b.numgratings);
    for (int i = 0; i < a.numgratings; ++i)
        EXPECT_EQ(a.gratings[i], b.gratings[i]) << "entry " << i;
    EXPECT_EQ(a.gratingDescriptions, b.gratingDescriptions);
}

} // namespace

TEST(SettingsFile, DefaultsWriteTheNineteenLinesWithCrLf) {
    TempDir dir;
    Settings s;
    s.SetDefaults();
    EXPECT_EQ(s.SettingsLines(), kDefaultLines);
    ASSERT_TRUE(s.SaveSettings(dir.path()));
    EXPECT_EQ(dir.read("KPD.ini"), crlfJoin(kDefaultLines));
    EXPECT_EQ(dir.read("grating2.ini"),
              crlfJoin({" 19.05mm - 10,000 CPR at x4 interp", " 31.75mm - 16,384 CPR at x4 interp",
                        " 57.15mm - 32,768 CPR at x4 interp", " 107.95mm - 65,536 CPR at x4 interp"}));
}

TEST(SettingsFile, MissingFileGivesDefaults) {
    TempDir dir;
    Settings s = nonDefaultSettings();
    EXPECT_FALSE(s.LoadSettings(dir.path()));
    Settings d;
    d.SetDefaults();
    expectSameStoredFields(s, d);
    EXPECT_FALSE(dir.exists("KPD.ini")); // loading never creates the file
}

TEST(SettingsFile, RoundTripKeepsEveryField) {
    TempDir dir;
    const Settings written = nonDefaultSettings();
    ASSERT_TRUE(written.SaveSettings(dir.path()));
    Settings read;
    ASSERT_TRUE(read.LoadSettings(dir.path()));
    expectSameStoredFields(read, written);
}

TEST(SettingsFile, RoundTripOfDefaultsAndFullTable) {
    TempDir dir;
    Settings s;
    s.SetDefaults();
    s.numgratings = Settings::MaxGratings;
    for (int i = 0; i < Settings::MaxGratings; ++i)
        s.gratings[i] = i * 1000 - 7;
    ASSERT_TRUE(s.SaveSettings(dir.path()));
    Settings read;
    ASSERT_TRUE(read.LoadSettings(dir.path()));
    expectSameStoredFields(read, s);
}

TEST(SettingsFile, FloatFormats) {
    Settings s;
    s.SetDefaults();
    s.siglevelmult = 1.15f;       // fixed, three decimals
    s.positionplot = 8.1f;        // shortest text that reads back
    s.minimumcircle = 0.1234567f; // six significant digits
    s.maximumcircle = 12.0f;
    const auto lines = s.SettingsLines();
    EXPECT_EQ(lines[0], "siglevelmult=1.150");
    EXPECT_EQ(lines[2], "positionplot=8.1");
    EXPECT_EQ(lines[3], "minimumcircle=0.123457");
    EXPECT_EQ(lines[4], "maximumcircle=12");
}

TEST(SettingsFile, WrittenCountAlwaysMatchesTheEntries) {
    TempDir dir;
    Settings s;
    s.SetDefaults();
    s.numgratings = 250; // beyond the table: only the table is written, and the file reads back
    ASSERT_TRUE(s.SaveSettings(dir.path()));
    Settings read;
    EXPECT_TRUE(read.LoadSettings(dir.path()));
    EXPECT_EQ(read.numgratings, Settings::MaxGratings);
}

TEST(SettingsFile, SaveReplacesWithoutLeavingTemporaryFiles) {
    TempDir dir;
    dir.write("KPD.ini", "stale content that is longer than nothing\r\n");
    std::filesystem::permissions(dir.file("KPD.ini"), std::filesystem::perms(0640));
    Settings s;
    s.SetDefaults();
    ASSERT_TRUE(s.SaveSettings(dir.path()));
    EXPECT_EQ(dir.read("KPD.ini"), crlfJoin(kDefaultLines));
    // The replacement keeps the permissions of the file it replaces.
    EXPECT_EQ(std::filesystem::status(dir.file("KPD.ini")).permissions(), std::filesystem::perms(0640));
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"KPD.ini", "grating2.ini"}));
}

TEST(SettingsFile, FailedSettingsWriteSkipsGratingFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("KPD.ini")); // cannot be replaced by a file
    Settings s;
    s.SetDefaults();
    EXPECT_FALSE(s.SaveSettings(dir.path()));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("KPD.ini")));
    EXPECT_FALSE(dir.exists("grating2.ini"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1); // no temporary left
}

TEST(SettingsFile, FailedGratingWriteIsReported) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("grating2.ini"));
    Settings s;
    s.SetDefaults();
    EXPECT_FALSE(s.SaveSettings(dir.path()));
    EXPECT_EQ(dir.read("KPD.ini"), crlfJoin(kDefaultLines));
}

TEST(SettingsFile, MissingDirectoryFailsQuietly) {
    TempDir dir;
    Settings s;
    s.SetDefaults();
    EXPECT_FALSE(s.SaveSettings(dir.file("no-such-dir")));
}

TEST(SettingsFile, ReadOnlyFileIsKeptWhoeverRunsTheProgram) {
    // The file's permission bits decide, for root as for anyone: a file without write permission for
    // this user stays as it is.
    TempDir dir;
    dir.write("KPD.ini", "lissplot=42\r\n");
    std::filesystem::permissions(dir.file("KPD.ini"), std::filesystem::perms(0444));
    Settings s;
    s.SetDefaults();
    EXPECT_FALSE(s.SaveSettings(dir.path()));
    EXPECT_EQ(dir.read("KPD.ini"), "lissplot=42\r\n");
    EXPECT_FALSE(dir.exists("grating2.ini"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1); // no temporary left

    // Write permission for the owner only: the owner saves.
    std::filesystem::permissions(dir.file("KPD.ini"), std::filesystem::perms(0644));
    EXPECT_TRUE(s.SaveSettings(dir.path()));
    EXPECT_EQ(dir.read("KPD.ini"), crlfJoin(kDefaultLines));

    // A file of another user: its group and other bits apply (only root can hand a file to another user).
    if (::geteuid() == 0) {
        dir.write("KPD.ini", "lissplot=42\r\n");
        ASSERT_EQ(::chown(dir.file("KPD.ini").c_str(), 4242, 4242), 0);
        std::filesystem::permissions(dir.file("KPD.ini"), std::filesystem::perms(0644));
        EXPECT_FALSE(s.SaveSettings(dir.path()));
        EXPECT_EQ(dir.read("KPD.ini"), "lissplot=42\r\n");
        std::filesystem::permissions(dir.file("KPD.ini"), std::filesystem::perms(0646));
        EXPECT_TRUE(s.SaveSettings(dir.path()));
        EXPECT_EQ(dir.read("KPD.ini"), crlfJoin(kDefaultLines));
    }
}

TEST(SettingsFile, WriteErrorMidwayKeepsTheOldFiles) {
    // A file size limit makes every write beyond 16 bytes fail, as a full disk would.
    TempDir dir;
    const std::string oldIni = "lissplot=42\r\n";
    const std::string oldGratings = "old grating\r\n";
    dir.write("KPD.ini", oldIni);
    dir.write("grating2.ini", oldGratings);
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    Settings s;
    s.SetDefaults();
    const bool saved = s.SaveSettings(dir.path());
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(dir.read("KPD.ini"), oldIni);
    EXPECT_EQ(dir.read("grating2.ini"), oldGratings);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2); // no temporary left
}

namespace {

// A C++ locale whose decimal separator is a comma, available on every machine.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

void expectLocaleIndependentRoundTrip() {
    TempDir dir;
    const Settings written = nonDefaultSettings();
    ASSERT_TRUE(written.SaveSettings(dir.path()));
    const std::string text = dir.read("KPD.ini");
    EXPECT_NE(text.find("siglevelmult=2.500\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("positionplot=12.25\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n2147483647\r\n"), std::string::npos) << text;
    Settings read;
    ASSERT_TRUE(read.LoadSettings(dir.path()));
    expectSameStoredFields(read, written);
    dir.write("KPD.ini", "minimumcircle=0.187\r\nmaximumcircle=0,5\r\n");
    EXPECT_FALSE(read.LoadSettings(dir.path())); // a comma is never a decimal separator
}

} // namespace

TEST(SettingsLocale, GlobalCppLocaleWithComma) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    expectLocaleIndependentRoundTrip();
    std::locale::global(previous);
}

TEST(SettingsLocale, ProcessLocaleWithComma) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char *found = nullptr;
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8",
                             "ru_RU.UTF-8", "es_ES.UTF-8", "it_IT.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) && std::localeconv()->decimal_point[0] == ',') {
            found = name;
            break;
        }
    }
    if (!found) {
        std::setlocale(LC_ALL, previous.c_str());
        GTEST_SKIP() << "no locale with a comma decimal separator is installed (see locale -a)";
    }
    expectLocaleIndependentRoundTrip();
    std::setlocale(LC_ALL, previous.c_str());
}
