// The search behind silent ports. Electronics (the paced simulator) on COM33, and 0, 1, 4 or 16 unplugged
// simulators (`silent on`: they read and drop everything) on COM1 and up, below them. Measured, each as
// its own process started by this program:
// - KPD: from the start of the program until the electronics have seen its first complete status sample
//   (the status monitor's read of Magnitude, the last register of a poll cycle, in the simulator's request
//   log). This includes the search's fixed pauses (the found message's second and the second before the
//   information read).
// - kpdctl find: from its start until it has printed the electronics and ended.
// Each figure is the median of three runs; "+" is the difference to the run without silent ports.
// Target: at most +1.5 s, whatever the number of silent ports.
#include "BenchEnvironment.h"

#include "kpdsim/Simulator.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kLivePort = 33;
constexpr int kRuns = 3;
constexpr uint8_t kMagnitude = 0x3E; // the last register of a status poll cycle
constexpr auto kGiveUp = std::chrono::seconds(60);
constexpr double kTargetSeconds = 1.5;

pid_t Start(const std::vector<std::string> &args) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        ::dup2(null, 1);
        ::dup2(null, 2);
        std::vector<char *> argv;
        for (const std::string &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

// Seconds from KPD's start until the first status sample; negative when none came.
double KpdToFirstSample(kpdsim::Simulator &live) {
    live.clearRequestLog();
    const auto t0 = Clock::now();
    const pid_t pid = Start({KPD_PROGRAM, "--quit-after", "60000"});
    double seconds = -1.0;
    while (seconds < 0 && Clock::now() - t0 < kGiveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        for (const kpdsim::LogEntry &e : live.requestLog()) {
            if (e.isRegisterRead() && e.reg() == kMagnitude) {
                const auto at = Clock::time_point(std::chrono::nanoseconds(e.timeNs));
                seconds = std::chrono::duration<double>(at - t0).count();
                break;
            }
        }
        if (::waitpid(pid, nullptr, WNOHANG) == pid) return seconds; // ended early
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return seconds;
}

// Seconds from the start of `kpdctl find` until it ended; negative when it found nothing.
double KpdctlFind() {
    const auto t0 = Clock::now();
    const pid_t pid = Start({KPDCTL_PROGRAM, "find", "--json"});
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1.0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main() {
    const std::string dir = kpdbench::PrivateProgramDir("kpd-bench-search");
    if (dir.empty()) return 1;
    int result = 0;
    {
        kpdsim::SimOptions o;
        o.requestLog = true;
        kpdsim::Simulator live(o); // paced at 38400 baud 8E1
        if (!live.start(dir, kLivePort)) {
            std::fprintf(stderr, "simulator: %s\n", live.lastError().c_str());
            return 1;
        }
        std::vector<std::unique_ptr<kpdsim::Simulator>> silent;
        std::printf("Search behind silent ports: electronics on COM%d, silent simulators on COM1 and up "
                    "(median of %d runs)\n",
                    kLivePort, kRuns);
        std::printf("  %-13s %-30s %s\n", "silent ports", "KPD start to first status", "kpdctl find");
        double kpd0 = 0.0;
        double ctl0 = 0.0;
        for (int count : {0, 1, 4, 16}) {
            while (static_cast<int>(silent.size()) < count) {
                auto s = std::make_unique<kpdsim::Simulator>();
                if (!s->start(dir, static_cast<int>(silent.size()) + 1)) {
                    std::fprintf(stderr, "simulator: %s\n", s->lastError().c_str());
                    return 1;
                }
                s->setSilent(true);
                silent.push_back(std::move(s));
            }
            std::vector<double> kpd;
            std::vector<double> ctl;
            for (int run = 0; run < kRuns; ++run) {
                kpd.push_back(KpdToFirstSample(live));
                ctl.push_back(KpdctlFind());
            }
            if (*std::min_element(kpd.begin(), kpd.end()) < 0 || *std::min_element(ctl.begin(), ctl.end()) < 0) {
                std::fprintf(stderr, "a run with %d silent ports did not find the electronics\n", count);
                result = 1;
            }
            const double k = Median(kpd);
            const double c = Median(ctl);
            if (count == 0) {
                kpd0 = k;
                ctl0 = c;
            }
            char kpdText[64];
            char ctlText[64];
            std::snprintf(kpdText, sizeof kpdText, "%.2f s (%+.2f s)", k, k - kpd0);
            std::snprintf(ctlText, sizeof ctlText, "%.2f s (%+.2f s)", c, c - ctl0);
            std::printf("  %-13d %-30s %s\n", count, kpdText, ctlText);
            std::fflush(stdout);
            if (k - kpd0 > kTargetSeconds || c - ctl0 > kTargetSeconds) result = 1;
        }
        std::printf("  target: at most +%.1f s whatever the number of silent ports\n", kTargetSeconds);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return result;
}
