// Why an open failed: the reason, the device file and its owning group, asked after OpenPort failed.
// OpenPort's own results do not change. The lack of permission is tried by a helper process run as an
// unprivileged user (with setpriv when the tests run as root).
#include "LinkFixture.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Failure {
    int reason = -9;
    std::string device;
    std::string group;
};

Failure failureOf(int port) {
    char device[512] = "untouched";
    char group[128] = "untouched";
    Failure f;
    f.reason = GetOpenFailure(port, device, sizeof device, group, sizeof group);
    f.device = device;
    f.group = group;
    return f;
}

std::string groupOf(const std::string &path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return "?";
    const group *g = getgrgid(st.st_gid);
    return g ? g->gr_name : std::to_string(st.st_gid);
}

struct HelperRun {
    int openResult = -9;
    Failure failure;
    std::string output;
};

// Runs the helper for `port` with the environment's SENSLINK_PORT_DIR; as the unprivileged user nobody
// when asked and this process runs as root.
HelperRun runHelper(int port, bool unprivileged) {
    std::string command;
    if (unprivileged && geteuid() == 0) command = "setpriv --reuid=nobody --regid=nogroup --clear-groups ";
    command += std::string(SENSLINK_FAILURE_HELPER) + " " + std::to_string(port) + " 2>&1";
    HelperRun r;
    FILE *p = popen(command.c_str(), "r");
    if (!p) return r;
    char buf[1024];
    while (fgets(buf, sizeof buf, p))
        r.output += buf;
    pclose(p);
    const auto line1 = r.output.find('\n');
    const auto line2 = r.output.find('\n', line1 + 1);
    const auto line3 = r.output.find('\n', line2 + 1);
    if (line1 == std::string::npos || line2 == std::string::npos || line3 == std::string::npos) return r;
    if (std::sscanf(r.output.c_str(), "%d %d", &r.openResult, &r.failure.reason) != 2) return r;
    r.failure.device = r.output.substr(line1 + 1, line2 - line1 - 1);
    r.failure.group = r.output.substr(line2 + 1, line3 - line2 - 1);
    return r;
}

// Makes a folder and everything on the way reachable for another user (the port directory is private).
void openToOthers(const std::string &dir) {
    chmod(dir.c_str(), 0755);
}

} // namespace

TEST(OpenFailure, OutOfRangeAndNeverOpenedPorts) {
    for (int port : {0, 257, -3})
        EXPECT_EQ(GetOpenFailure(port, nullptr, 0, nullptr, 0), -1) << port;
    PtyPeer peer(21);
    const Failure f = failureOf(22);
    EXPECT_EQ(f.reason, SENSLINK_OPEN_OK);
    EXPECT_EQ(f.device, "");
    EXPECT_EQ(f.group, "");
}

TEST(OpenFailure, MissingDeviceAndNonSerialFile) {
    PtyPeer peer(3);
    EXPECT_EQ(OpenPort(4), -1); // no COM4 link: the result is unchanged
    Failure f = failureOf(4);
    EXPECT_EQ(f.reason, SENSLINK_OPEN_NO_DEVICE);
    EXPECT_EQ(f.device, peer.portDir() + "/COM4");
    EXPECT_EQ(f.group, "");

    const std::string plain = peer.portDir() + "/plain";
    FILE *file = fopen(plain.c_str(), "w");
    ASSERT_NE(file, nullptr);
    fclose(file);
    fs::create_symlink(plain, peer.portDir() + "/COM9");
    EXPECT_EQ(OpenPort(9), -1);
    f = failureOf(9);
    EXPECT_EQ(f.reason, SENSLINK_OPEN_NOT_SERIAL);
    EXPECT_EQ(f.device, fs::canonical(plain).string()); // the link resolved
    EXPECT_EQ(f.group, groupOf(plain));

    // Without the port directory the fixed table has no device for COM161 and above.
    const std::string keep = std::getenv("SENSLINK_PORT_DIR");
    unsetenv("SENSLINK_PORT_DIR");
    EXPECT_EQ(OpenPort(200), -1);
    EXPECT_EQ(failureOf(200).reason, SENSLINK_OPEN_NO_DEVICE);
    EXPECT_EQ(failureOf(200).device, "");
    setenv("SENSLINK_PORT_DIR", keep.c_str(), 1);
}

TEST(OpenFailure, TextsAreCutToTheBuffersAndNullOutsAreSkipped) {
    PtyPeer peer(3);
    EXPECT_EQ(OpenPort(5), -1);
    char device[8];
    std::memset(device, 'x', sizeof device);
    char group[4] = "abc";
    EXPECT_EQ(GetOpenFailure(5, device, sizeof device, group, 0), SENSLINK_OPEN_NO_DEVICE);
    EXPECT_EQ(std::string(device), (peer.portDir() + "/COM5").substr(0, 7));
    EXPECT_STREQ(group, "abc"); // size 0: untouched
    EXPECT_EQ(GetOpenFailure(5, nullptr, 100, nullptr, 100), SENSLINK_OPEN_NO_DEVICE);
}

TEST_F(LinkTest, AHeldPortIsBusyAndASuccessfulOpenClearsTheReason) {
    peer->link(8); // a second name for the terminal this process holds as COM7
    EXPECT_EQ(OpenPort(8), -1);
    Failure f = failureOf(8);
    EXPECT_EQ(f.reason, SENSLINK_OPEN_BUSY);
    EXPECT_EQ(f.device, fs::canonical(peer->terminalPath()).string());
    EXPECT_EQ(f.group, groupOf(peer->terminalPath()));

    // Another process, also another user, finds it busy too.
    chmod(peer->terminalPath().c_str(), 0666);
    openToOthers(peer->portDir());
    for (bool unprivileged : {false, true}) {
        const HelperRun r = runHelper(8, unprivileged);
        EXPECT_EQ(r.openResult, -1) << r.output;
        EXPECT_EQ(r.failure.reason, SENSLINK_OPEN_BUSY) << "unprivileged " << unprivileged << ": " << r.output;
    }

    ASSERT_EQ(ClosePort(kPort), 0);
    EXPECT_EQ(OpenPort(8), 0);
    EXPECT_EQ(failureOf(8).reason, SENSLINK_OPEN_OK);
    EXPECT_EQ(failureOf(8).device, "");
    EXPECT_EQ(ClosePort(8), 0);
    EXPECT_EQ(OpenPort(kPort), 0);
}

TEST(OpenFailure, ADeviceTheUserMayNotOpenNamesItsGroup) {
    PtyPeer peer(3);
    openToOthers(peer.portDir());
    // The device: a file only its owner and group may open, linked as COM12.
    const std::string device = peer.portDir() + "/ttyKPD0";
    const int fd = open(device.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    close(fd);
    if (geteuid() == 0) {
        const group *dialout = getgrnam("dialout");
        ASSERT_EQ(chown(device.c_str(), 0, dialout ? dialout->gr_gid : 0), 0);
        ASSERT_EQ(chmod(device.c_str(), 0660), 0);
    } else {
        ASSERT_EQ(chmod(device.c_str(), 0), 0); // not even its owner may open it
    }
    fs::create_symlink(device, peer.portDir() + "/COM12");

    const HelperRun r = runHelper(12, true);
    EXPECT_EQ(r.openResult, -1) << r.output;
    EXPECT_EQ(r.failure.reason, SENSLINK_OPEN_PERMISSION) << r.output;
    EXPECT_EQ(r.failure.device, fs::canonical(device).string()) << r.output;
    EXPECT_EQ(r.failure.group, groupOf(device)) << r.output;
    if (geteuid() == 0 && getgrnam("dialout")) {
        EXPECT_EQ(r.failure.group, "dialout");
    }
}
