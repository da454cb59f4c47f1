// Runs `kpdctl status --watch --json` as its own process against the paced in-process simulator for
// about eight seconds (after a warm-up) and prints the status samples per second it puts out as a
// fraction of the wire limit, and the CPU time kpdctl costs per second.
//
// Wire limit: the bytes the simulator counts on the line (requests received and replies sent) per sample
// shown, at 11 bits per byte and 38400 baud, give the shortest possible sample time. Samples: the "sample"
// numbers of the JSON lines read at the start and the end of the measured window. CPU: utime + stime of
// the kpdctl process from /proc.
#include "BenchEnvironment.h"

#include "kpdsim/Simulator.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPort = 1;
constexpr int kWarmUpMs = 1000;
constexpr int kRunMs = 8000;
constexpr double kBitsPerByte = 11.0; // start bit, 8 data bits, even parity, stop bit
constexpr double kBaud = 38400.0;

// Reads the child's standard output line by line and keeps the newest sample number.
class SampleReader {
public:
    explicit SampleReader(int fd) : fd_(fd) {}
    // Reads what arrives until `until`.
    void ReadUntil(Clock::time_point until) {
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
            if (left <= 0) return;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
            char buf[65536];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) {
                ended = true;
                return;
            }
            pending_.append(buf, static_cast<size_t>(n));
            std::size_t nl;
            while ((nl = pending_.find('\n')) != std::string::npos) {
                const QJsonObject o =
                    QJsonDocument::fromJson(QByteArray::fromStdString(pending_.substr(0, nl))).object();
                pending_.erase(0, nl + 1);
                if (o["type"].toString() == "status") {
                    latest = static_cast<long long>(o["sample"].toDouble());
                    lastPosition = o["positionText"].toString().toStdString();
                    lastState = o["stateText"].toString().toStdString();
                }
                ++lines;
            }
        }
    }
    long long latest = 0;
    long long lines = 0;
    bool ended = false;
    std::string lastPosition;
    std::string lastState;

private:
    int fd_;
    std::string pending_;
};

double ProcessCpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos) return 0.0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

} // namespace

int main() {
    const std::string dir = kpdbench::PrivateProgramDir("kpd-bench-kpdctl");
    if (dir.empty()) return 1;
    int result = 0;
    {
        kpdsim::Simulator sim; // paced at 38400 baud 8E1, moving head
        if (!sim.start(dir, kPort)) {
            std::fprintf(stderr, "simulator: %s\n", sim.lastError().c_str());
            return 1;
        }
        int out[2];
        if (::pipe(out) != 0) return 1;
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::dup2(out[1], 1);
            ::close(out[0]);
            const std::string port = std::to_string(kPort);
            ::execl(KPDCTL_PROGRAM, "kpdctl", "status", "--watch", "--json", "--port", port.c_str(),
                    static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        SampleReader reader(out[0]);
        // The warm-up starts with the first sample.
        const auto firstWait = Clock::now() + std::chrono::milliseconds(5000);
        while (reader.latest == 0 && !reader.ended && Clock::now() < firstWait)
            reader.ReadUntil(Clock::now() + std::chrono::milliseconds(50));
        if (reader.latest == 0) {
            std::fprintf(stderr, "kpdctl showed no status sample\n");
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            return 1;
        }
        reader.ReadUntil(Clock::now() + std::chrono::milliseconds(kWarmUpMs));

        const long long samples0 = reader.latest;
        const uint64_t bytes0 = sim.bytesReceived() + sim.bytesSent();
        const double cpu0 = ProcessCpuSeconds(pid);
        const auto t0 = Clock::now();
        reader.ReadUntil(t0 + std::chrono::milliseconds(kRunMs));
        const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        const long long samples = reader.latest - samples0;
        const uint64_t bytes = sim.bytesReceived() + sim.bytesSent() - bytes0;
        const double cpu = ProcessCpuSeconds(pid) - cpu0;

        // Ctrl+C ends the watch; kpdctl exits with 0.
        ::kill(pid, SIGINT);
        reader.ReadUntil(Clock::now() + std::chrono::milliseconds(2000));
        int status = 0;
        ::waitpid(pid, &status, 0);
        ::close(out[0]);
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;

        const double bytesPerSample =
            samples > 0 ? static_cast<double>(bytes) / static_cast<double>(samples) : 0.0;
        const double sampleWireSeconds = bytesPerSample * kBitsPerByte / kBaud;
        const double limitRate = sampleWireSeconds > 0 ? 1.0 / sampleWireSeconds : 0.0;
        const double rate = static_cast<double>(samples) / seconds;
        const double fraction = limitRate > 0 ? rate / limitRate : 0.0;

        std::printf("kpdctl status --watch against the paced simulator, %.2f s (after %d ms warm-up)\n",
                    seconds, kWarmUpMs);
        std::printf("  samples shown           %lld (last: position %s, %s)\n", samples,
                    reader.lastPosition.c_str(), reader.lastState.c_str());
        std::printf("  bytes on the wire       %.1f per sample\n", bytesPerSample);
        std::printf("  wire limit              %.2f samples/s (11 bits per byte, 38400 baud)\n", limitRate);
        std::printf("  measured                %.2f samples/s\n", rate);
        std::printf("  fraction of wire limit  %.3f (target >= 0.95)\n", fraction);
        std::printf("  CPU, kpdctl             %.2f%% of one core\n", 100.0 * cpu / seconds);
        std::printf("  exit code after Ctrl+C  %d (expected 0)\n", code);
        if (samples <= 0 || code != 0) result = 1;
        sim.stop();
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return result;
}
