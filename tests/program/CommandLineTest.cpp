// The program KPD itself, started as a user or a file manager starts it: --help and --version print and
// end without any window (they work without a display), a bad option ends with code 2 and a message on
// standard error, and a data file named on the command line is shown as after File > Load, in demo mode
// when no electronics answer. Qt's own -platform option is honoured.
#include "data/DataSets.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Quoted(const std::string &s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("kpd-command-line-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "ports"); // no electronics: an empty port directory
        fs::create_directories(dir / "install");
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs KPD with the arguments; env is put before the program (for example "QT_QPA_PLATFORM=offscreen").
    ProgramRun Kpd(const std::string &env, const std::vector<std::string> &args) {
        std::string command = "env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY SENSLINK_PORT_DIR=" +
                              Quoted((dir / "ports").string()) +
                              " KPD_INSTALL_DIR=" + Quoted((dir / "install").string()) + " " + env + " " +
                              Quoted(KPD_PROGRAM);
        for (const auto &a : args)
            command += " " + Quoted(a);
        command += " >" + Quoted((dir / "out.txt").string()) + " 2>" + Quoted((dir / "err.txt").string());
        ProgramRun r;
        const int status = std::system(command.c_str());
        r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = Slurp(dir / "out.txt");
        r.err = Slurp(dir / "err.txt");
        return r;
    }

    fs::path dir;
};

TEST_F(CommandLine, HelpPrintsTheOptionsWithoutADisplay) {
    // The xcb platform without a display would end the program at once if it made its application object.
    for (const char *option : {"--help", "-h"}) {
        const ProgramRun r = Kpd("QT_QPA_PLATFORM=xcb", {option});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out.rfind("Usage: KPD [options] [file]\n", 0), 0u) << r.out;
        for (const char *name : {"--version", "--mode <mode>", "--screenshot <file>", "--quit-after <ms>", "file"})
            EXPECT_NE(r.out.find(name), std::string::npos) << name;
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(CommandLine, VersionPrintsTheProjectVersionWithoutADisplay) {
    const ProgramRun r = Kpd("QT_QPA_PLATFORM=xcb", {"--version"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind(std::string("KPD ") + KPD_PROJECT_VERSION, 0), 0u) << r.out;
    EXPECT_EQ(r.err, "");
}

TEST_F(CommandLine, BadOptionsEndWithCodeTwoAndAMessage) {
    const ProgramRun unknown = Kpd("QT_QPA_PLATFORM=xcb", {"--frobnicate"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("frobnicate"), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find("KPD --help"), std::string::npos) << unknown.err;

    const ProgramRun badValue = Kpd("QT_QPA_PLATFORM=xcb", {"--quit-after", "soon"});
    EXPECT_EQ(badValue.exitCode, 2);
    EXPECT_NE(badValue.err.find("--quit-after needs a number of milliseconds"), std::string::npos) << badValue.err;

    const ProgramRun missingFile = Kpd("QT_QPA_PLATFORM=xcb", {(dir / "nowhere.lis").string()});
    EXPECT_EQ(missingFile.exitCode, 2);
    EXPECT_NE(missingFile.err.find("nowhere.lis"), std::string::npos) << missingFile.err;
}

TEST_F(CommandLine, ADataFileIsShownInItsModeInDemoModeWithoutElectronics) {
    // A recorded encoder signal file of a few records.
    auto sets = std::make_unique<DataSets>();
    auto &ring = sets->EncoderSignal();
    for (int i = 0; i < 10; ++i) {
        ring.w1[static_cast<std::size_t>(i)] = static_cast<uint16_t>(1000 + i);
        ring.w2[static_cast<std::size_t>(i)] = static_cast<uint16_t>(2000 - i);
        ring.interval[static_cast<std::size_t>(i)] = 0.001f;
    }
    ring.count = 10;
    const fs::path file = dir / "recording 1.lis";
    ASSERT_TRUE(sets->SaveEncoderSignalFile(file));

    // Qt's own -platform option picks the platform (QT_QPA_PLATFORM is unset for the run).
    const ProgramRun r = Kpd("", {"-platform", "offscreen", "--quit-after", "3000", "--screenshot",
                           (dir / "shot.png").string(), file.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // The unattended run logs every box: no electronics (Ignore: demo mode), then the load's own box.
    const auto notFound = r.err.find("answered Ignore: Cannot Detect Electronics.");
    const auto loaded = r.err.find("answered OK: Encoder Signal Data successfully loaded");
    EXPECT_NE(notFound, std::string::npos) << r.err;
    EXPECT_NE(loaded, std::string::npos) << r.err;
    EXPECT_LT(notFound, loaded) << r.err;
    EXPECT_EQ(r.err.find("open dialog cancelled"), std::string::npos) << "the file answers the open dialog";
    EXPECT_EQ(r.err.find("Invalid Software File Type"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(dir / "shot.png"));
}

TEST_F(CommandLine, AFileThatIsNoDataFileGetsTheLoadsErrorBox) {
    const fs::path file = dir / "notes.lis";
    std::ofstream(file) << "shopping list\r\n";
    const ProgramRun r = Kpd("QT_QPA_PLATFORM=offscreen", {"--quit-after", "2000", file.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("answered OK: Invalid Software File Type"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("successfully loaded"), std::string::npos) << r.err;
}

} // namespace
