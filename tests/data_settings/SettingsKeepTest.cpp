// A settings file that cannot be used is never lost: the defaults apply, the file is kept beside the new
// one as "KPD.ini.malformed" (".2", ".3", ... when an earlier different copy is there), standard error
// says so, and no save replaces the file before it has been kept.
#include "TempDir.h"
#include "data/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

std::vector<std::string> Names(const TempDir &dir) {
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

bool IsDefault(const Settings &s) {
    Settings d;
    d.SetDefaults();
    return s.SettingsLines() == d.SettingsLines() && s.gratingDescriptions == d.gratingDescriptions;
}

// Loads the settings of `dir` into `s`; standard error of the load in `err`.
bool LoadCapturing(Settings &s, const TempDir &dir, std::string &err) {
    ::testing::internal::CaptureStderr();
    const bool ok = s.LoadSettings(dir.path());
    err = ::testing::internal::GetCapturedStderr();
    return ok;
}

bool SaveCapturing(const Settings &s, const TempDir &dir, std::string &err) {
    ::testing::internal::CaptureStderr();
    const bool ok = s.SaveSettings(dir.path());
    err = ::testing::internal::GetCapturedStderr();
    return ok;
}

const std::string kUserFile = "lissplot=300\r\nunits=microns\r\nsignalplot=12a\r\nencodertype=0\r\n";

} // namespace

TEST(SettingsKeep, MalformedFileIsKeptAndTheShutdownSaveDoesNotDestroyIt) {
    TempDir dir;
    dir.write("KPD.ini", kUserFile);
    Settings s;
    std::string err;
    EXPECT_FALSE(LoadCapturing(s, dir, err));
    EXPECT_TRUE(IsDefault(s));
    // The load keeps the file as it is and a copy beside it, and says so.
    EXPECT_EQ(dir.read("KPD.ini"), kUserFile);
    EXPECT_EQ(dir.read("KPD.ini.malformed"), kUserFile);
    EXPECT_NE(err.find(dir.file("KPD.ini")), std::string::npos) << err;
    EXPECT_NE(err.find("line 3"), std::string::npos) << err;
    EXPECT_NE(err.find("signalplot=12a"), std::string::npos) << err;
    EXPECT_NE(err.find("default"), std::string::npos) << err;
    EXPECT_NE(err.find(dir.file("KPD.ini.malformed")), std::string::npos) << err;

    // The save writes the defaults; the user's text stays in the kept copy.
    ASSERT_TRUE(SaveCapturing(s, dir, err));
    EXPECT_TRUE(err.empty()) << err;
    Settings d;
    d.SetDefaults();
    EXPECT_NE(dir.read("KPD.ini"), kUserFile);
    EXPECT_EQ(dir.read("KPD.ini.malformed"), kUserFile);
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"KPD.ini", "KPD.ini.malformed", "grating2.ini"}));
}

TEST(SettingsKeep, TheSameFileIsKeptOnceAndAnEarlierCopyIsNeverOverwritten) {
    TempDir dir;
    dir.write("KPD.ini", kUserFile);
    Settings s;
    std::string err;
    EXPECT_FALSE(LoadCapturing(s, dir, err));
    EXPECT_FALSE(LoadCapturing(s, dir, err)); // loaded again on connecting: no second copy
    EXPECT_NE(err.find(dir.file("KPD.ini.malformed")), std::string::npos) << err;
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"KPD.ini", "KPD.ini.malformed"}));

    // Another malformed file later: a new copy, the first one stays.
    dir.write("KPD.ini", "lissplot=1.5\r\n");
    EXPECT_FALSE(LoadCapturing(s, dir, err));
    EXPECT_EQ(dir.read("KPD.ini.malformed"), kUserFile);
    EXPECT_EQ(dir.read("KPD.ini.malformed.2"), "lissplot=1.5\r\n");
    EXPECT_NE(err.find(dir.file("KPD.ini.malformed.2")), std::string::npos) << err;

    // The first text again: it is still kept, nothing new is written.
    dir.write("KPD.ini", kUserFile);
    EXPECT_FALSE(LoadCapturing(s, dir, err));
    EXPECT_NE(err.find(dir.file("KPD.ini.malformed\"")), std::string::npos) << err;
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"KPD.ini", "KPD.ini.malformed", "KPD.ini.malformed.2"}));
}

TEST(SettingsKeep, MissingGratingFileAlsoKeepsTheSettingsFile) {
    TempDir dir;
    const std::string text = "lissplot=300\r\nnumgratings=1\r\n4096\r\n";
    dir.write("KPD.ini", text);
    Settings s;
    std::string err;
    EXPECT_FALSE(LoadCapturing(s, dir, err));
    EXPECT_TRUE(IsDefault(s));
    EXPECT_NE(err.find("grating2.ini"), std::string::npos) << err;
    ASSERT_TRUE(s.SaveSettings(dir.path()));
    EXPECT_EQ(dir.read("KPD.ini.malformed"), text);
}

TEST(SettingsKeep, AFileThatLoadsOrIsMissingIsNotCopied) {
    TempDir dir;
    Settings s;
    std::string err;
    EXPECT_FALSE(LoadCapturing(s, dir, err)); // missing: defaults, no message
    EXPECT_TRUE(err.empty()) << err;
    ASSERT_TRUE(SaveCapturing(s, dir, err));
    EXPECT_TRUE(err.empty()) << err;
    EXPECT_TRUE(LoadCapturing(s, dir, err));
    EXPECT_TRUE(err.empty()) << err;
    ASSERT_TRUE(s.SaveSettings(dir.path()));
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"KPD.ini", "grating2.ini"}));
}

TEST(SettingsKeep, AFileSpoiltAfterTheLoadIsKeptByTheSave) {
    TempDir dir;
    Settings s;
    s.SetDefaults();
    ASSERT_TRUE(s.SaveSettings(dir.path()));
    ASSERT_TRUE(s.LoadSettings(dir.path()));
    dir.write("KPD.ini", kUserFile); // edited by hand while the program runs
    std::string err;
    ASSERT_TRUE(SaveCapturing(s, dir, err));
    EXPECT_EQ(dir.read("KPD.ini.malformed"), kUserFile);
    EXPECT_NE(err.find(dir.file("KPD.ini.malformed")), std::string::npos) << err;
}

TEST(SettingsKeep, NoSaveReplacesAFileThatCouldNotBeKept) {
    // A file size limit lets the small new settings file be written but not the copy of a large one.
    TempDir dir;
    const std::string big = kUserFile + std::string(20000, '#') + "\r\n";
    dir.write("KPD.ini", big);
    rlimit previous{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    Settings s;
    std::string loadErr, saveErr;
    const bool loaded = LoadCapturing(s, dir, loadErr);
    const bool saved = SaveCapturing(s, dir, saveErr);
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(IsDefault(s));
    EXPECT_NE(loadErr.find("could not be kept"), std::string::npos) << loadErr;
    EXPECT_NE(saveErr.find("not saved"), std::string::npos) << saveErr;
    EXPECT_FALSE(saved);
    EXPECT_EQ(dir.read("KPD.ini"), big);
    EXPECT_EQ(Names(dir), std::vector<std::string>{"KPD.ini"}); // no half copy, no temporary file

    // Once the copy can be made, the save goes ahead.
    ASSERT_TRUE(SaveCapturing(s, dir, saveErr));
    EXPECT_EQ(dir.read("KPD.ini.malformed"), big);
}

TEST(SettingsKeep, TheGratingPitchLivesBesideTheNineteenLinesAndABadFileOfItIsKept) {
    struct Row {
        const char *units; // "KPDunits.ini" as found; nullptr: none
        bool settingsOk;   // "KPD.ini" loads, or is malformed
        float pitch;       // after the load
        bool reported;     // standard error names the file and it is kept as ".malformed"
    };
    const Row rows[] = {
        {nullptr, true, 0.0f, false},
        {"gratingpitch=20.5\r\n", true, 20.5f, false},
        {"note=1\ngratingpitch= 4\n", false, 4.0f, false}, // a malformed "KPD.ini" does not lose the pitch
        {"gratingpitch=abc\r\n", true, 0.0f, true},
        {"gratingpitch=-1\r\n", true, 0.0f, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.units ? row.units : "(none)");
        TempDir dir;
        Settings d;
        d.SetDefaults();
        d.gratingPitch = 0.0f;
        ASSERT_TRUE(d.SaveSettings(dir.path()));
        const std::string nineteen = dir.read("KPD.ini");
        if (!row.settingsOk) dir.write("KPD.ini", kUserFile);
        if (row.units) dir.write("KPDunits.ini", row.units);
        Settings s;
        std::string err;
        EXPECT_EQ(LoadCapturing(s, dir, err), row.settingsOk);
        EXPECT_EQ(s.gratingPitch, row.pitch);
        EXPECT_EQ(err.find(dir.file("KPDunits.ini")) != std::string::npos, row.reported) << err;
        EXPECT_EQ(dir.exists("KPDunits.ini.malformed"), row.reported);
        // Kept across a save and a new load; "KPD.ini" keeps its layout, the user's bad text its copy.
        s.gratingPitch = 12.34f;
        ASSERT_TRUE(SaveCapturing(s, dir, err)) << err;
        if (row.settingsOk) {
            EXPECT_EQ(dir.read("KPD.ini"), nineteen);
        }
        if (row.reported) {
            EXPECT_EQ(dir.read("KPDunits.ini.malformed"), row.units);
        }
        Settings again;
        again.LoadSettings(dir.path());
        EXPECT_EQ(again.gratingPitch, 12.34f);
    }
}
