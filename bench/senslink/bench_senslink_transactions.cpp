// Sync + register read transactions per second through senslink, beside a minimal hand-written
// poll()/read() loop doing the same exchanges on a pseudo-terminal, as its baseline.
#include "senslink.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPort = 5;
constexpr double kSecondsPerRun = 0.25;
constexpr int kRounds = 12;

struct Pty {
    int master = -1;
    int slaveKeep = -1;
    std::string slavePath;
};

Pty makePty() {
    Pty p;
    p.master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (p.master < 0 || grantpt(p.master) != 0 || unlockpt(p.master) != 0) {
        std::perror("pty");
        std::exit(1);
    }
    p.slavePath = ptsname(p.master);
    p.slaveKeep = open(p.slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios t{};
    tcgetattr(p.slaveKeep, &t);
    cfmakeraw(&t);
    tcsetattr(p.slaveKeep, TCSANOW, &t);
    return p;
}

// The electronics side: answers a bare 0x80 with 0x90 and a register read frame with a reply, at once.
void answerLoop(int master, std::atomic<bool> &stop) {
    unsigned char buf[512];
    const unsigned char reply[8] = {0x90, 0x51, 0x02, 0x02, 0x34, 0x12, 0x2B, 0x01};
    while (!stop) {
        pollfd p{master, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        const ssize_t n = read(master, buf, sizeof buf);
        if (n <= 0) continue;
        if (n == 1 && buf[0] == 0x80) {
            const unsigned char ack = 0x90;
            (void)!write(master, &ack, 1);
        } else if (n >= 10 && buf[0] == 0x80 && buf[1] == 0x51) {
            (void)!write(master, reply, sizeof reply);
        }
    }
}

bool readExact(int fd, unsigned char *buf, int n, int timeoutMs) {
    int got = 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (got < n) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left < 0) return false;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) return false;
        const ssize_t r = read(fd, buf + got, static_cast<size_t>(n - got));
        if (r <= 0) return false;
        got += static_cast<int>(r);
    }
    return true;
}

double runBaseline(const std::string &path) {
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t);
    const unsigned char sync = 0x80;
    const unsigned char frame[10] = {0x80, 0x51, 0x04, 0x04, 0x00, 0x00, 0x42, 0x00, 0x1B, 0x01};
    unsigned char in[8];
    long count = 0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(kSecondsPerRun);
    while (Clock::now() < end) {
        tcflush(fd, TCIFLUSH);
        if (write(fd, &sync, 1) != 1 || !readExact(fd, in, 1, 200) || in[0] != 0x90) break;
        if (write(fd, frame, sizeof frame) != sizeof frame || !readExact(fd, in, 8, 200)) break;
        ++count;
    }
    const double secs = std::chrono::duration<double>(Clock::now() - start).count();
    close(fd);
    return count / secs;
}

double runSenslink() {
    if (OpenPort(kPort) != 0 || ConfigPort(kPort, 200, 38400) != 0) {
        std::fprintf(stderr, "cannot open the port through senslink\n");
        std::exit(1);
    }
    long count = 0;
    uint16_t value = 0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration<double>(kSecondsPerRun);
    while (Clock::now() < end) {
        ClearRxBuffer(kPort);
        if (SendSync(kPort) != 0) break;
        if (ReadRegisterVK240(kPort, 0x420000, &value) != 0 || value != 0x1234) break;
        ++count;
    }
    const double secs = std::chrono::duration<double>(Clock::now() - start).count();
    ClosePort(kPort);
    return count / secs;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

} // namespace

int main() {
    Pty pty = makePty();
    char dirTemplate[] = "/tmp/senslink-bench-XXXXXX";
    if (!mkdtemp(dirTemplate)) return 1;
    const std::string dir = dirTemplate;
    std::filesystem::create_symlink(pty.slavePath, dir + "/COM" + std::to_string(kPort));
    setenv("SENSLINK_PORT_DIR", dir.c_str(), 1);

    std::atomic<bool> stop{false};
    std::thread peer(answerLoop, pty.master, std::ref(stop));

    // Alternate short runs of the two so that load from other processes hits both alike; report medians.
    std::vector<double> bases, libs, ratios;
    for (int round = 0; round < kRounds; ++round) {
        bases.push_back(runBaseline(pty.slavePath));
        libs.push_back(runSenslink());
        ratios.push_back(bases.back() > 0 ? libs.back() / bases.back() : 0.0);
    }
    const double base = median(bases), lib = median(libs), ratio = median(ratios);
    stop = true;
    peer.join();
    close(pty.slaveKeep);
    close(pty.master);
    std::filesystem::remove_all(dir);

    std::printf("sync + ReadRegisterVK240 transactions per second (medians)\n");
    std::printf("  baseline poll()/read() loop: %10.0f /s\n", base);
    std::printf("  senslink:                    %10.0f /s\n", lib);
    std::printf("  ratio senslink/baseline:     %10.2f (median of %d paired runs; target >= 0.70)\n", ratio,
                kRounds);
    return 0;
}
