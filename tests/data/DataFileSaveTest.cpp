// Saving replaces files safely: a failing save leaves an existing file as it was, reports the failure,
// and leaves no temporary files; numbers are written with a point whatever the locale.
#include "DataTestSupport.h"
#include "data/DataFileSaveError.h"
#include "data/DataSets.h"

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <locale>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

namespace {

class DataFileSave : public ::testing::Test {
protected:
    std::unique_ptr<DataSets> sets = std::make_unique<DataSets>();
    TempDir dir;

    std::size_t EntriesIn(const std::filesystem::path &path) {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(path), std::filesystem::directory_iterator()));
    }
};

} // namespace

TEST_F(DataFileSave, SaveOverExistingFileReplacesItWhole) {
    const auto file = dir / "data.pos";
    WriteText(file, std::string(100000, 'x'));
    sets->PositionVelocity().count = 3;
    ASSERT_TRUE(sets->SavePositionVelocityFile(file, "mm", 1.0f, 1.0f));
    const std::string text = ReadText(file);
    EXPECT_EQ(text.rfind("vk2401.1positionvelocity\r\n", 0), 0u);
    EXPECT_EQ(text.find('x'), std::string::npos);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u); // no temporary file left behind
}

TEST_F(DataFileSave, TargetThatIsADirectoryFailsAndSurvives) {
    const auto target = dir / "folder.man";
    std::filesystem::create_directory(target);
    WriteText(target / "inside", "keep");
    sets->SetupStatus().count = 5;
    EXPECT_THROW(sets->SaveSetupStatusFile(target, "mm", 1.0f, 1.0f), DataFileSaveError);
    EXPECT_TRUE(std::filesystem::is_directory(target));
    EXPECT_EQ(ReadText(target / "inside"), "keep");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST_F(DataFileSave, TargetThatIsNotARegularFileIsRefused) {
    // A FIFO (anyone may make one) and a character device node (only root may): both stay as they are.
    const auto fifo = dir / "pipe.lis";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::vector<std::filesystem::path> targets = {fifo};
    const auto device = dir / "device.lis";
    if (::mknod(device.c_str(), S_IFCHR | 0644, ::makedev(1, 3)) == 0) targets.push_back(device);
    const auto link = dir / "link.lis"; // a link to the FIFO: the FIFO is the target
    std::filesystem::create_symlink("pipe.lis", link);
    targets.push_back(link);
    sets->EncoderSignal().count = 3;
    for (const auto &target : targets) {
        bool threw = false;
        std::string reason;
        try {
            sets->SaveEncoderSignalFile(target);
        } catch (const DataFileSaveError &error) {
            threw = true;
            reason = error.what();
        }
        EXPECT_TRUE(threw) << target;
        EXPECT_NE(reason.find("not a regular file"), std::string::npos) << reason;
    }
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    if (targets.size() == 3) {
        ASSERT_EQ(::lstat(device.c_str(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(EntriesIn(dir.Path()), targets.size()); // no temporary file left behind
}

TEST_F(DataFileSave, MissingDirectoryFails) {
    EXPECT_THROW(sets->SaveEncoderSignalFile(dir / "no-such-dir" / "x.lis"), DataFileSaveError);
    EXPECT_THROW(sets->SaveEncoderSignalFile(""), DataFileSaveError);
    EXPECT_EQ(EntriesIn(dir.Path()), 0u);
}

TEST_F(DataFileSave, WriteFailingHalfwayKeepsTheOldFile) {
    // A file size limit makes the write itself fail part way (this works for root as well).
    const auto file = dir / "big.lis";
    WriteText(file, "old contents\r\n");
    auto &e = sets->EncoderSignal();
    e.count = 0;
    e.wrapped = true; // about 19999 lines, far beyond the limit below

    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto *previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    std::string reason;
    try {
        sets->SaveEncoderSignalFile(file);
    } catch (const DataFileSaveError &error) {
        threw = true;
        reason = error.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(threw);
    EXPECT_NE(reason.find("big.lis"), std::string::npos) << reason;
    EXPECT_EQ(ReadText(file), "old contents\r\n");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

TEST_F(DataFileSave, ExistingPermissionsAndLinksAreKept) {
    const auto file = dir / "kept.str";
    WriteText(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    const auto link = dir / "link.str";
    std::filesystem::create_symlink("kept.str", link);
    sets->SignalStrength().count = 2;
    ASSERT_TRUE(sets->SaveSignalStrengthFile(link, "mm", 1.0f, 1.0f));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadText(file).rfind("vk2401.1signalstrength\r\n", 0), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

// glibc keeps the locale search path it splits from LOCPATH for the rest of the process; the leak checker
// must not count that against the test.
extern "C" const char *__lsan_default_suppressions() {
    return "leak:__argz_add_sep\n";
}

namespace {

// Switches the process to a locale whose decimal separator is a comma, building one in `scratch` with
// localedef when none is installed. Returns the locale name, or an empty string when none is available.
std::string EnterCommaLocale(const std::filesystem::path &scratch) {
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr && *std::localeconv()->decimal_point == ',') return name;
    }
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (scratch / "de_DE.UTF-8").string() + "' > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return {};
    ::setenv("LOCPATH", scratch.c_str(), 1);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr && *std::localeconv()->decimal_point == ',')
        return "de_DE.UTF-8";
    return {};
}

void LeaveCommaLocale() {
    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
    ::unsetenv("LOCPATH");
}

} // namespace

TEST_F(DataFileSave, CommaDecimalLocaleStillWritesAndReadsPoints) {
    TempDir scratch;
    const std::string name = EnterCommaLocale(scratch.Path());
    if (name.empty()) GTEST_SKIP() << "no locale with a comma decimal separator on this machine";
    try {
        std::locale::global(std::locale(name));
    } catch (const std::exception &) {
        // The C locale switch alone is enough to check the formatting.
    }

    auto &p = sets->PositionVelocity();
    p.position[1] = 5;
    p.velocity[1] = 1.5f;
    p.interval[1] = 0.25f;
    p.count = 2;
    const auto file = dir / "comma.pos";
    const bool saved = sets->SavePositionVelocityFile(file, "mm", 0.5f, 2.5f);
    const auto loaded = sets->LoadDataFile(file);
    LeaveCommaLocale();

    ASSERT_TRUE(saved);
    EXPECT_EQ(ReadText(file),
              "vk2401.1positionvelocity\r\nPosUnits=mm\r\nPositionResMult=0.5\r\n"
              "PositionInterpMult=2.5\r\nPos\t\t\tVel\t\t\tTime\r\n5\t\t\t1.50000000\t\t0.25000\r\n");
    ASSERT_TRUE(loaded.ok) << loaded.reason;
    EXPECT_EQ(loaded.header.interpolationMultiplier, 2.5f);
    EXPECT_EQ(p.velocity[0], 1.5f);
}
