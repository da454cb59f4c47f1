// The alarm history list and the ".alm" file.
#include "workers/AlarmHistory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace kpd {
namespace {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() {
        std::string templ = (fs::temp_directory_path() / "kpd-alm-XXXXXX").string();
        if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
        path_ = templ;
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    const fs::path &path() const { return path_; }
    std::size_t EntryCount() const {
        return std::size_t(std::distance(fs::directory_iterator(path_), fs::directory_iterator()));
    }

private:
    fs::path path_;
};

std::string ReadFile(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const fs::path &p, const std::string &text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

TEST(AlarmHistoryList, NewestFirst) {
    AlarmHistory h;
    EXPECT_TRUE(h.Empty());
    h.Insert("first");
    h.Insert("second");
    h.Insert("third");
    EXPECT_EQ(h.Count(), 3u);
    EXPECT_EQ(h.Snapshot(), (std::vector<std::string>{"third", "second", "first"}));
    EXPECT_EQ(h.Line(0), "third");
    EXPECT_THROW(h.Line(3), std::out_of_range);
    h.Clear();
    EXPECT_TRUE(h.Empty());
    EXPECT_TRUE(h.Snapshot().empty());
}

TEST(AlarmHistoryList, SnapshotIsACopy) {
    AlarmHistory h;
    h.Insert("a");
    const auto copy = h.Snapshot();
    h.Insert("b");
    EXPECT_EQ(copy.size(), 1u);
}

TEST(AlarmFile, LinesInListOrderEndedByCrLf) {
    TempDir dir;
    AlarmHistory h;
    h.Insert("\tOver Signal \t                 1\tmm\t\t   March 5, 2024  at  14:03:09");
    h.Insert("\tOver Signal \t                 2\tmm\t\t   March 5, 2024  at  14:03:10");
    const fs::path file = dir.path() / "log.alm";
    std::string error;
    ASSERT_TRUE(h.SaveToFile(file, &error)) << error;
    EXPECT_EQ(ReadFile(file), "\tOver Signal \t                 2\tmm\t\t   March 5, 2024  at  14:03:10\r\n"
                              "\tOver Signal \t                 1\tmm\t\t   March 5, 2024  at  14:03:09\r\n");
    EXPECT_EQ(dir.EntryCount(), 1u) << "no temporary file left behind";
}

TEST(AlarmFile, EmptyListWritesEmptyFile) {
    TempDir dir;
    const fs::path file = dir.path() / "empty.alm";
    WriteFile(file, "old contents\r\n");
    ASSERT_TRUE(SaveAlarmFile({}, file));
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), 0u);
}

TEST(AlarmFile, ReplacesExistingFileAndKeepsItsPermissions) {
    TempDir dir;
    const fs::path file = dir.path() / "keep.alm";
    WriteFile(file, "a much longer previous content that must disappear entirely\r\n");
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(SaveAlarmFile({"x"}, file));
    EXPECT_EQ(ReadFile(file), "x\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.EntryCount(), 1u);
}

TEST(AlarmFile, FailingSaveReportsAndKeepsExistingFile) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(SaveAlarmFile({"x"}, dir.path() / "missing" / "a.alm", &error));
    EXPECT_FALSE(error.empty());

    // The target is a folder: refused, the folder and its contents stay.
    const fs::path folder = dir.path() / "folder.alm";
    fs::create_directory(folder);
    WriteFile(folder / "inside", "keep");
    error.clear();
    EXPECT_FALSE(SaveAlarmFile({"x"}, folder, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadFile(folder / "inside"), "keep");
    EXPECT_EQ(dir.EntryCount(), 1u) << "no temporary file left behind";

    EXPECT_FALSE(SaveAlarmFile({"x"}, fs::path(), &error));
    EXPECT_FALSE(SaveAlarmFile({"x"}, dir.path() / "", &error)) << "a folder path without a file name";
}

TEST(AlarmFile, TargetThatIsNotARegularFileIsRefused) {
    TempDir dir;
    const fs::path fifo = dir.path() / "pipe.alm";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::vector<fs::path> targets = {fifo};
    const fs::path device = dir.path() / "device.alm"; // only root may make a device node
    if (::mknod(device.c_str(), S_IFCHR | 0644, ::makedev(1, 3)) == 0) targets.push_back(device);
    for (const fs::path &target : targets) {
        std::string error;
        EXPECT_FALSE(SaveAlarmFile({"x"}, target, &error)) << target;
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    }
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(fifo)));
    if (targets.size() == 2) {
        EXPECT_TRUE(fs::is_character_file(fs::symlink_status(device)));
    }
    EXPECT_EQ(dir.EntryCount(), targets.size()) << "no temporary file left behind";
}

TEST(AlarmFile, ALinkStaysALinkAndTheFileItNamesIsReplaced) {
    // Saved like the data files: through a symbolic link to the file it names.
    TempDir dir;
    const fs::path file = dir.path() / "alarms.alm";
    WriteFile(file, "old\r\n");
    const fs::path link = dir.path() / "latest.alm";
    fs::create_symlink("alarms.alm", link);
    std::string error;
    ASSERT_TRUE(SaveAlarmFile({"new"}, link, &error)) << error;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(file), "new\r\n");
    EXPECT_EQ(dir.EntryCount(), 2u);
}

TEST(AlarmFile, UnwritableFolderKeepsExistingFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    TempDir dir;
    const fs::path file = dir.path() / "ro.alm";
    WriteFile(file, "previous\r\n");
    fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::remove);
    std::string error;
    EXPECT_FALSE(SaveAlarmFile({"new"}, file, &error));
    EXPECT_FALSE(error.empty());
    fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(ReadFile(file), "previous\r\n");
}

} // namespace
} // namespace kpd
