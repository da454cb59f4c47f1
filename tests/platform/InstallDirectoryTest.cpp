#include "platform/InstallDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace {

namespace fs = std::filesystem;

// Saves and restores an environment variable.
class EnvGuard {
public:
    explicit EnvGuard(const char *name) : name_(name) {
        if (const char *v = std::getenv(name)) old_ = v;
    }
    ~EnvGuard() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    void Set(const std::string &value) { setenv(name_, value.c_str(), 1); }
    void Unset() { unsetenv(name_); }

private:
    const char *name_;
    std::optional<std::string> old_;
};

class RegistryStandIn : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("kpd-registry-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        file_ = (dir_ / "registry.conf").string();
        installEnv_.Unset();
        fileEnv_.Unset();
        platform::SetRegistryFile(file_);
    }
    void TearDown() override {
        platform::SetRegistryFile({});
        fs::remove_all(dir_);
    }
    void Write(const std::string &content) {
        std::ofstream out(file_, std::ios::binary);
        out << content;
    }

    fs::path dir_;
    std::string file_;
    EnvGuard installEnv_{platform::kInstallDirEnv};
    EnvGuard fileEnv_{platform::kRegistryFileEnv};
};

TEST_F(RegistryStandIn, EnvironmentWinsOverFile) {
    Write("Software\\HalviAT\\Install Directory=/from/file\n");
    installEnv_.Set("/from/env");
    EXPECT_EQ(platform::InstallDirectory(), "/from/env");
}

TEST_F(RegistryStandIn, FileUsedWhenEnvironmentUnsetOrEmpty) {
    Write("Software\\HalviAT\\Install Directory=/from/file\n");
    EXPECT_EQ(platform::InstallDirectory(), "/from/file");
    installEnv_.Set("");
    EXPECT_EQ(platform::InstallDirectory(), "/from/file");
}

TEST_F(RegistryStandIn, MissingFileOrValueMeansMissing) {
    EXPECT_EQ(platform::InstallDirectory(), std::nullopt); // no file at all
    Write("Software\\Other\\Install Directory=/elsewhere\nSoftware\\HalviAT\\Something Else=/x\n");
    EXPECT_EQ(platform::InstallDirectory(), std::nullopt);
    EXPECT_EQ(platform::InstallDirectoryOr("/work/dir"), "/work/dir");
}

TEST_F(RegistryStandIn, UnreadableFileMeansMissing) {
    fs::create_directories(file_); // a directory where the file should be
    EXPECT_EQ(platform::InstallDirectory(), std::nullopt);
}

TEST_F(RegistryStandIn, FileSyntax) {
    Write("# comment\r\n"
          "; another comment\r\n"
          "\r\n"
          "garbage line without equals\r\n"
          "=no name\r\n"
          "  software\\halviat\\INSTALL DIRECTORY  =  /opt/kpd dir  \r\n"
          "Software\\HalviAT\\Install Directory=/second/match\r\n"
          "Software\\HalviAT\\Path=a=b\r\n");
    // Names compare case-insensitively, spaces around name and data go, CR LF line ends are accepted,
    // the first match wins.
    EXPECT_EQ(platform::InstallDirectory(), "/opt/kpd dir");
    // The data may contain '='.
    EXPECT_EQ(platform::ReadRegistryString("Software\\HalviAT", "Path"), "a=b");
    EXPECT_EQ(platform::ReadRegistryString("Software\\HalviAT\\", "Path"), "a=b");
}

TEST_F(RegistryStandIn, EnvironmentMapsOnlyTheInstallDirectory) {
    installEnv_.Set("/from/env");
    Write("Software\\HalviAT\\Path=/p\n");
    EXPECT_EQ(platform::ReadRegistryString("Software\\HalviAT", "Path"), "/p");
    EXPECT_EQ(platform::ReadRegistryString("Software\\Other", "Install Directory"), std::nullopt);
}

TEST_F(RegistryStandIn, EmptyValueFallsBack) {
    Write("Software\\HalviAT\\Install Directory=\n");
    EXPECT_EQ(platform::InstallDirectory(), "");
    EXPECT_EQ(platform::InstallDirectoryOr("/cwd"), "/cwd");
}

TEST_F(RegistryStandIn, FileLocationFromEnvironmentAndDefault) {
    platform::SetRegistryFile({});
    EXPECT_EQ(platform::RegistryFile(), platform::kDefaultRegistryFile);
    const std::string other = (dir_ / "other.conf").string();
    {
        std::ofstream out(other);
        out << "Software\\HalviAT\\Install Directory=/via/env/file\n";
    }
    fileEnv_.Set(other);
    EXPECT_EQ(platform::RegistryFile(), other);
    EXPECT_EQ(platform::InstallDirectory(), "/via/env/file");
    platform::SetRegistryFile(file_); // an explicit path wins over the environment
    EXPECT_EQ(platform::RegistryFile(), file_);
}

TEST(SettingsLocation, TheConfiguredDirectoryWinsThenTheWayTheProgramRuns) {
    using platform::ChooseInstallDirectory;
    EXPECT_EQ(ChooseInstallDirectory("/opt/kpd", false, "/cwd", "/home/u/.config/KPD"), "/opt/kpd");
    EXPECT_EQ(ChooseInstallDirectory("/opt/kpd", true, "/cwd", "/home/u/.config/KPD"), "/opt/kpd");
    EXPECT_EQ(ChooseInstallDirectory(std::nullopt, true, "/cwd", "/home/u/.config/KPD"), "/cwd");
    EXPECT_EQ(ChooseInstallDirectory(std::string(), true, "/cwd", "/home/u/.config/KPD"), "/cwd");
    EXPECT_EQ(ChooseInstallDirectory(std::nullopt, false, "/cwd", "/home/u/.config/KPD"), "/home/u/.config/KPD");
    EXPECT_EQ(ChooseInstallDirectory(std::string(), false, "/cwd", "/home/u/.config/KPD"),
              "/home/u/.config/KPD");
}

TEST(SettingsLocation, PerUserFolderFollowsTheBaseDirectoryRules) {
    EnvGuard xdg("XDG_CONFIG_HOME");
    EnvGuard home("HOME");
    home.Set("/home/someone");
    xdg.Set("/var/cfg");
    EXPECT_EQ(platform::PerUserSettingsDirectory(), "/var/cfg/KPD");
    xdg.Set("relative/cfg"); // not absolute: ignored
    EXPECT_EQ(platform::PerUserSettingsDirectory(), "/home/someone/.config/KPD");
    xdg.Set("");
    EXPECT_EQ(platform::PerUserSettingsDirectory(), "/home/someone/.config/KPD");
    xdg.Unset();
    EXPECT_EQ(platform::PerUserSettingsDirectory(), "/home/someone/.config/KPD");
    home.Unset(); // the account's home folder
    const std::string fromAccount = platform::PerUserSettingsDirectory();
    EXPECT_EQ(fs::path(fromAccount).filename(), "KPD");
    EXPECT_EQ(fs::path(fromAccount).parent_path().filename(), ".config");
}

// In the build tree the working directory stays the fallback, as it always was. A copy of this test
// program outside the build tree is an installed program: it runs this test again and must find the
// per-user folder, created, while the same configured directory still wins.
TEST(SettingsLocation, BuildTreeRunKeepsTheFallbackAnInstalledCopyUsesThePerUserFolder) {
    EnvGuard installEnv(platform::kInstallDirEnv);
    EnvGuard fileEnv(platform::kRegistryFileEnv);
    EnvGuard xdg("XDG_CONFIG_HOME");
    installEnv.Unset();
    const char *copyRun = std::getenv("KPD_TEST_INSTALLED_COPY");
    if (copyRun && *copyRun) {
        // The copy: XDG_CONFIG_HOME names a folder of the outer run's temporary directory.
        EXPECT_FALSE(platform::RunFromBuildTree());
        const std::string expected = std::string(std::getenv("XDG_CONFIG_HOME")) + "/KPD";
        EXPECT_FALSE(fs::exists(expected));
        EXPECT_EQ(platform::InstallDirectoryOr("/cwd"), expected);
        EXPECT_TRUE(fs::is_directory(expected));
        installEnv.Set("/configured");
        EXPECT_EQ(platform::InstallDirectoryOr("/cwd"), "/configured");
        return;
    }
    ASSERT_TRUE(platform::RunFromBuildTree());
    fileEnv.Set("/nonexistent/registry.conf");
    EXPECT_EQ(platform::InstallDirectoryOr("/cwd"), "/cwd");

    const fs::path dir = fs::temp_directory_path() / ("kpd-installed-copy-" + std::to_string(::getpid()));
    fs::create_directories(dir / "bin");
    const fs::path copy = dir / "bin" / "kpd_platform_tests";
    fs::copy_file(fs::read_symlink("/proc/self/exe"), copy);
    const std::string command = "env KPD_TEST_INSTALLED_COPY=1 KPD_REGISTRY_FILE=/nonexistent/registry.conf "
                                "XDG_CONFIG_HOME='" + (dir / "config").string() + "' '" + copy.string() +
                                "' --gtest_filter=SettingsLocation.BuildTreeRun* >'" +
                                (dir / "out.txt").string() + "' 2>&1";
    const int rc = std::system(command.c_str());
    std::ifstream out(dir / "out.txt");
    const std::string output((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
    EXPECT_EQ(rc, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
    EXPECT_TRUE(fs::is_directory(dir / "config" / "KPD"));
    fs::remove_all(dir);
}

TEST(RegistryLine, Parsing) {
    using platform::ParseRegistryLine;
    EXPECT_EQ(ParseRegistryLine("A\\B=c"), std::make_pair(std::string("A\\B"), std::string("c")));
    EXPECT_EQ(ParseRegistryLine("A\\B\\C = d "), std::make_pair(std::string("A\\B\\C"), std::string("d")));
    EXPECT_EQ(ParseRegistryLine("NoKey=c"), std::nullopt);
    EXPECT_EQ(ParseRegistryLine("\\B=c"), std::nullopt);
    EXPECT_EQ(ParseRegistryLine("A\\=c"), std::nullopt);
    EXPECT_EQ(ParseRegistryLine("   "), std::nullopt);
    EXPECT_EQ(ParseRegistryLine("#A\\B=c"), std::nullopt);
}

} // namespace
