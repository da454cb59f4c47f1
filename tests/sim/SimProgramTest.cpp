// The kpd-sim program: ready line, control commands on stdin, clean end on a signal.
#include "senslink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Child {
    pid_t pid = -1;
    int in = -1;         // its stdin
    FILE *out = nullptr; // its stdout
};

Child spawn(const std::vector<std::string> &args) {
    int toChild[2], fromChild[2];
    if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) return {};
    Child c;
    c.pid = ::fork();
    if (c.pid == 0) {
        ::dup2(toChild[0], 0);
        ::dup2(fromChild[1], 1);
        ::close(toChild[1]);
        ::close(fromChild[0]);
        std::vector<char *> argv;
        std::string prog = KPD_SIM_PROGRAM;
        argv.push_back(prog.data());
        std::vector<std::string> copy = args;
        for (auto &a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(prog.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    c.in = toChild[1];
    c.out = ::fdopen(fromChild[0], "r");
    return c;
}

int finish(Child &c) {
    int status = 0;
    ::waitpid(c.pid, &status, 0);
    if (c.in >= 0) ::close(c.in);
    if (c.out) std::fclose(c.out);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(SimProgramTest, RunsControlsAndEndsCleanlyOnSignal) {
    char tmpl[] = "/tmp/kpdsim-prog-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    ::setenv("SENSLINK_PORT_DIR", dir.c_str(), 1);
    Child c = spawn({"--port-dir", dir, "--com", "12", "--no-pacing", "--model", "3"});
    ASSERT_GT(c.pid, 0);
    char line[256] = {};
    ASSERT_NE(std::fgets(line, sizeof line, c.out), nullptr);
    EXPECT_NE(std::string(line).find("COM12"), std::string::npos) << line;
    EXPECT_NE(std::string(line).find("/dev/pts/"), std::string::npos) << line;
    ASSERT_TRUE(fs::is_symlink(dir + "/COM12"));

    ASSERT_EQ(OpenPort(12), 0);
    ASSERT_EQ(ConfigPort(12, 200, 38400), 0);
    uint16_t v = 0;
    ASSERT_EQ(SyncAndRead(12, 1, 0x200000, &v), 1);
    EXPECT_EQ((v >> 5) & 15, 3);
    const std::string cmd = "align 1.5\nbogus\n";
    ASSERT_EQ(::write(c.in, cmd.data(), cmd.size()), ssize_t(cmd.size()));
    int mag = 0;
    for (int i = 0; i < 50 && mag <= 430; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_EQ(SyncAndRead(12, 1, 0x3E0000, &v), 1);
        mag = v;
    }
    EXPECT_GT(mag, 430);
    ClosePort(12);

    ::kill(c.pid, SIGTERM);
    EXPECT_EQ(finish(c), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir + "/COM12")));
    fs::remove_all(dir);
}

TEST(SimProgramTest, QuitCommandAndOptionErrors) {
    char tmpl[] = "/tmp/kpdsim-prog-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    Child c = spawn({"--port-dir", dir, "--com", "13"});
    char line[256] = {};
    ASSERT_NE(std::fgets(line, sizeof line, c.out), nullptr);
    ASSERT_EQ(::write(c.in, "quit\n", 5), 5);
    EXPECT_EQ(finish(c), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir + "/COM13")));

    Child h = spawn({"--help"});
    std::string text;
    while (std::fgets(line, sizeof line, h.out))
        text += line;
    EXPECT_EQ(finish(h), 0);
    EXPECT_NE(text.find("--no-pacing"), std::string::npos);
    EXPECT_NE(text.find("stall on|off"), std::string::npos);

    Child b = spawn({"--port-dir", dir, "--com", "300"});
    EXPECT_EQ(finish(b), 2);
    Child m = spawn({"--com", "3"});
    EXPECT_EQ(finish(m), 2);
    Child d = spawn({"--port-dir", dir + "/none", "--com", "3"});
    EXPECT_EQ(finish(d), 1);
    fs::remove_all(dir);
}
