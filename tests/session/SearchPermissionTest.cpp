// The search as an unprivileged user, against a port directory whose COM2 link points at a device file
// the user may not open and whose COM5 is a terminal another program holds: the "Cannot Detect
// Electronics" message gets one sentence naming the device and the group owning it, and the held device.
// The search runs in a child process of this program, as the user nobody (setpriv) when the tests run as
// root, and prints the messages it was shown.
#include "RecordingView.h"

#include "platform/ScriptedDialogs.h"
#include "session/Session.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const char *const kChildFlag = "--search-and-print";
std::string g_self; // this program's file

// The child: one search with an empty script (the not-found box gets Ignore), then every message shown.
int SearchAndPrint(int argc, char **argv, const char *installDir) {
    QCoreApplication app(argc, argv);
    sessiontest::RecordingView view;
    auto session = std::make_unique<kpd::Session>(view, installDir);
    session->waitMs = [](int) {};
    platform::ScriptedDialogs answers;
    {
        platform::ScopedDialogs scope(answers);
        session->Search();
    }
    for (const auto &q : answers.Messages())
        std::printf("%s\n", q.text.c_str());
    std::printf("demo=%d\n", session->Demo() ? 1 : 0);
    return 0;
}

std::string GroupOf(const std::string &path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return "?";
    const group *g = getgrgid(st.st_gid);
    return g ? g->gr_name : std::to_string(st.st_gid);
}

class SearchPermission : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/kpd-permission-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        chmod(root.c_str(), 0755); // reachable for the unprivileged child
        fs::create_directories(root + "/ports");
        fs::create_directories(root + "/install");
        chmod((root + "/ports").c_str(), 0755);
        chmod((root + "/install").c_str(), 0755);
    }
    void TearDown() override {
        if (held >= 0) {
            ioctl(held, TIOCNXCL);
            close(held);
        }
        if (master >= 0) close(master);
        fs::remove_all(root);
    }

    // A device file only its owner and group may open (group dialout when this runs as root; as another
    // user the file's own group, mode 0 so that not even its owner may open it), linked as COMn.
    std::string DeniedDevice(int com) {
        const std::string device = root + "/ttyKPD" + std::to_string(com);
        const int fd = open(device.c_str(), O_CREAT | O_WRONLY, 0600);
        EXPECT_GE(fd, 0);
        close(fd);
        if (geteuid() == 0) {
            const group *dialout = getgrnam("dialout");
            EXPECT_EQ(chown(device.c_str(), 0, dialout ? dialout->gr_gid : 0), 0);
            chmod(device.c_str(), 0660);
        } else {
            chmod(device.c_str(), 0);
        }
        fs::create_symlink(device, root + "/ports/COM" + std::to_string(com));
        return device;
    }

    // A terminal this process holds exclusively (as another program would), linked as COMn; anyone may
    // open its file, so only the hold keeps the child out.
    std::string HeldTerminal(int com) {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(master, 0);
        EXPECT_EQ(grantpt(master), 0);
        EXPECT_EQ(unlockpt(master), 0);
        const std::string path = ptsname(master);
        held = open(path.c_str(), O_RDWR | O_NOCTTY);
        EXPECT_GE(held, 0);
        EXPECT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
        EXPECT_EQ(ioctl(held, TIOCEXCL), 0);
        chmod(path.c_str(), 0666);
        fs::create_symlink(path, root + "/ports/COM" + std::to_string(com));
        return path;
    }

    // Runs the search in a child process, unprivileged; returns what it printed.
    std::string SearchAsUser(int &exitCode) {
        std::string command = "env SENSLINK_PORT_DIR='" + root + "/ports' ";
        if (geteuid() == 0) command += "setpriv --reuid=nobody --regid=nogroup --clear-groups ";
        command += "'" + g_self + "' " + kChildFlag + " '" + root + "/install' 2>&1";
        std::string out;
        FILE *p = popen(command.c_str(), "r");
        if (!p) return out;
        char buf[4096];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        const int status = pclose(p);
        exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return out;
    }

    std::string root;
    int master = -1;
    int held = -1;
};

TEST_F(SearchPermission, TheNotFoundMessageNamesTheDeniedDeviceItsGroupAndTheHeldDevice) {
    const std::string denied = DeniedDevice(2);
    const std::string terminal = HeldTerminal(5);
    int rc = -1;
    const std::string out = SearchAsUser(rc);
    ASSERT_EQ(rc, 0) << out;
    const std::string expected =
        "Cannot Detect Electronics. Please verify that electronics are connected to the computer and the power "
        "LED for the electronics is on.  The serial device " +
        fs::canonical(denied).string() +
        " (COM2) exists but could not be opened for lack of permission: the user must be a member of the group "
        "\"" + GroupOf(denied) + "\" that owns it (then log in again); the serial device " +
        fs::canonical(terminal).string() +
        " (COM5) is held by another program.  Click 'retry' to atempt to connect to electronics or 'ignore' to "
        "start Demo Mode.\n";
    EXPECT_NE(out.find(expected), std::string::npos) << out;
    if (geteuid() == 0 && getgrnam("dialout")) {
        EXPECT_NE(out.find("group \"dialout\""), std::string::npos);
    }
    EXPECT_NE(out.find("demo=1"), std::string::npos) << out;
}

TEST_F(SearchPermission, WithoutSuchDevicesTheMessageIsUnchanged) {
    // A plain file as COM3 (not a serial device) and a dangling COM4 say nothing about permissions.
    const std::string plain = root + "/plain";
    FILE *f = fopen(plain.c_str(), "w");
    ASSERT_NE(f, nullptr);
    fclose(f);
    chmod(plain.c_str(), 0666);
    fs::create_symlink(plain, root + "/ports/COM3");
    fs::create_symlink(root + "/gone", root + "/ports/COM4");
    int rc = -1;
    const std::string out = SearchAsUser(rc);
    ASSERT_EQ(rc, 0) << out;
    EXPECT_NE(out.find("Cannot Detect Electronics. Please verify that electronics are connected to the computer and "
                       "the power LED for the electronics is on.  Click 'retry' to atempt to connect to "
                       "electronics or 'ignore' to start Demo Mode.\n"),
              std::string::npos)
        << out;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 3 && std::strcmp(argv[1], kChildFlag) == 0) {
        int childArgc = 1;
        return SearchAndPrint(childArgc, argv, argv[2]);
    }
    g_self = fs::read_symlink("/proc/self/exe").string();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
