// Command-line options.
#include "program/ProgramOptions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using kpd::ParseProgramOptions;
using kpd::ProgramOptions;

namespace {

namespace fs = std::filesystem;

// A temporary folder with one readable file in it.
class FileArgument : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("kpd-options-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        file = dir / "run 1.lis";
        std::ofstream(file) << "vk2401.1encodersignal\r\n";
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
    fs::path file;
};

} // namespace

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

TEST(ProgramOptions, PortInsteadOfTheSearch) {
    EXPECT_EQ(ParseProgramOptions({"--port", "33"}).port, 33);
    for (const char *bad : {"0", "257", "COM3"})
        EXPECT_NE(ParseProgramOptions({"--port", bad}).error.find("--port needs a port number"), std::string::npos);
}

TEST(ProgramOptions, HelpAndVersionEndTheProgram) {
    for (const char *a : {"--help", "-h"})
        EXPECT_EQ(ParseProgramOptions({a}).action, ProgramOptions::Action::Help) << a;
    for (const char *a : {"--version", "-v"})
        EXPECT_EQ(ParseProgramOptions({a}).action, ProgramOptions::Action::Version) << a;
    EXPECT_EQ(ParseProgramOptions({"--quit-after", "100"}).action, ProgramOptions::Action::Run);
    EXPECT_EQ(ParseProgramOptions({}).action, ProgramOptions::Action::Run);
}

TEST(ProgramOptions, UnknownOptionsAreRefused) {
    const auto o = ParseProgramOptions({"--bogus"});
    EXPECT_NE(o.error.find("bogus"), std::string::npos) << o.error;
    EXPECT_FALSE(ParseProgramOptions({"-x"}).error.empty());
    EXPECT_FALSE(ParseProgramOptions({"--screenshot-after"}).error.empty());
    EXPECT_FALSE(ParseProgramOptions({"--quit-after", "12", "--mode", "5"}).error.empty());
    // A bad value does not leave a half-set value behind.
    EXPECT_EQ(ParseProgramOptions({"--quit-after", "8s"}).quitAfterMs, -1);
}

TEST(ProgramOptions, QtsOwnOptionsAreAccepted) {
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"-platform", "offscreen"}, {"--platform", "offscreen"}, {"-style", "fusion"},
          {"-style=fusion"}, {"-reverse"}, {"-qwindowgeometry", "640x480"}, {"-platformtheme", "gtk3"}}) {
        const auto o = ParseProgramOptions(args);
        EXPECT_TRUE(o.error.empty()) << args.front() << ": " << o.error;
        EXPECT_EQ(o.action, ProgramOptions::Action::Run);
        EXPECT_TRUE(o.dataFile.empty()) << "a Qt option's value is not a file";
    }
    EXPECT_FALSE(ParseProgramOptions({"-platform"}).error.empty()); // its value is missing
}

TEST_F(FileArgument, ADataFileIsTakenWithItsFullPath) {
    const auto o = ParseProgramOptions({"-platform", "offscreen", file.string(), "--quit-after", "10"});
    ASSERT_TRUE(o.error.empty()) << o.error;
    EXPECT_EQ(o.dataFile, file.string());
    EXPECT_EQ(o.quitAfterMs, 10);
    // A relative name is made absolute against the working directory.
    const fs::path cwd = fs::current_path();
    fs::current_path(dir);
    const auto relative = ParseProgramOptions({"run 1.lis"});
    fs::current_path(cwd);
    EXPECT_TRUE(relative.error.empty()) << relative.error;
    EXPECT_EQ(fs::path(relative.dataFile), file);
    // After "--" a file name may start with a dash.
    const fs::path dashed = dir / "-odd.lis";
    std::ofstream(dashed) << "x";
    fs::current_path(dir);
    const auto afterDashes = ParseProgramOptions({"--", "-odd.lis"});
    fs::current_path(cwd);
    EXPECT_TRUE(afterDashes.error.empty()) << afterDashes.error;
    EXPECT_EQ(fs::path(afterDashes.dataFile), dashed);
}

TEST_F(FileArgument, MissingUnreadableOrSeveralFilesAndModeWithAFileAreRefused) {
    EXPECT_FALSE(ParseProgramOptions({(dir / "none.lis").string()}).error.empty());
    EXPECT_FALSE(ParseProgramOptions({dir.string()}).error.empty()); // a folder
    EXPECT_FALSE(ParseProgramOptions({file.string(), file.string()}).error.empty());
    const auto withMode = ParseProgramOptions({"--mode", "encoder", file.string()});
    EXPECT_NE(withMode.error.find("--mode"), std::string::npos) << withMode.error;
    EXPECT_TRUE(withMode.dataFile.empty());
}

TEST(ProgramOptions, HelpNamesEveryOptionAndTheFileButNotQtsOwn) {
    const std::string help = kpd::ProgramHelpText();
    EXPECT_EQ(help.rfind("Usage: KPD [options] [file]\n", 0), 0u) << help;
    for (const char *name : {"--help", "--version", "--mode <mode>", "--screenshot <file>",
                             "--screenshot-after <ms>", "--quit-after <ms>", ".man", ".lis", ".str", ".pos"})
        EXPECT_NE(help.find(name), std::string::npos) << name;
    EXPECT_EQ(help.find("--platform"), std::string::npos);
    EXPECT_EQ(help.find("--widgetcount"), std::string::npos);
}

TEST(ProgramOptions, VersionIsTheProjectVersion) {
    const std::string text = kpd::ProgramVersionText();
    EXPECT_EQ(text.rfind(std::string("KPD ") + KPD_PROJECT_VERSION, 0), 0u) << text;
    EXPECT_NE(text.find("Tessaly II Software for KPD Alignment Tool"), std::string::npos) << text;
}
