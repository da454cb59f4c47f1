// Runs the status monitor (MainThread) against the paced simulator for about five seconds and prints the
// status samples per second as a fraction of the wire limit, and the CPU time the monitoring costs per
// second (the in-process simulator's own thread is measured separately and left out).
//
// Wire limit: one sample is nine register reads, each after a sync; the bytes the simulator reports on
// the line per sample, at 286.5 us per byte (38400 baud, 8E1: 11 bits), give the shortest sample time.
#include <ComData.h>
#include <StatusMonitor.h>
#include <StatusSink.h>
#include <WorkerThread.h>

#include <kpdsim/Simulator.h>

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kPort = 231;
constexpr double kRunSeconds = 5.0;
constexpr int kReadsPerSample = 9;

// The window's per-sample work in miniature: the time and position texts, evaluation every fourth.
class CheapSink : public kpd::StatusSink {
public:
    void UpdateStatusDisplay(int32_t position, float magnitude, uint32_t statusWord, uint16_t, float elapsed,
                             bool, bool evaluate) override {
        std::snprintf(time_, sizeof time_, "%.1f", static_cast<double>(elapsed));
        std::snprintf(position_, sizeof position_, "%d", position);
        if (evaluate) checksum_ += static_cast<uint32_t>(magnitude) ^ statusWord;
        ++samples;
    }
    void ShowElapsedTime(float seconds) override {
        std::snprintf(time_, sizeof time_, "%.1f", static_cast<double>(seconds));
    }
    void StopAfterReplay() override {}
    void ReportLinkFailure() override { ++linkFailures; }
    long samples = 0;
    int linkFailures = 0;

private:
    char time_[32] = {};
    char position_[32] = {};
    uint32_t checksum_ = 0;
};

double processCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

std::set<int> threadIds() {
    std::set<int> ids;
    for (const auto &e : std::filesystem::directory_iterator("/proc/self/task"))
        ids.insert(std::atoi(e.path().filename().c_str()));
    return ids;
}

// utime + stime of one thread of this process, seconds.
double threadCpuSeconds(int tid) {
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    if (close == std::string::npos) return 0.0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    unsigned long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stoul(field);
        if (i == 15) stime = std::stoul(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double cpuOf(const std::set<int> &tids) {
    double s = 0.0;
    for (int tid : tids)
        s += threadCpuSeconds(tid);
    return s;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    std::string dir = (std::filesystem::temp_directory_path() / "kpd-bench-monitor-XXXXXX").string();
    if (!::mkdtemp(dir.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    ::setenv("SENSLINK_PORT_DIR", dir.c_str(), 1);

    int result = 0;
    {
        kpdsim::SimOptions options; // paced at 38400 baud 8E1, moving head
        kpdsim::Simulator sim(options);
        if (!sim.start(dir, kPort)) {
            std::fprintf(stderr, "simulator: %s\n", sim.lastError().c_str());
            return 1;
        }
        ComData com(kPort);
        std::string message;
        int model = 0;
        if (!com.Connect(message, model)) {
            std::fprintf(stderr, "cannot connect to the simulator\n");
            return 1;
        }
        std::set<int> simThreads = threadIds();
        simThreads.erase(static_cast<int>(::getpid()));

        CheapSink sink;
        kpd::StatusMonitor monitor(sink, &com);
        const uint64_t bytes0 = sim.bytesReceived() + sim.bytesSent();
        const double cpu0 = processCpuSeconds();
        const double simCpu0 = cpuOf(simThreads);
        const auto t0 = std::chrono::steady_clock::now();
        monitor.StartLive();
        platform::RunEventsFor(std::chrono::milliseconds(static_cast<int>(kRunSeconds * 1000)));
        // Sample the counters while the monitor still runs, then stop it.
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double cpu = processCpuSeconds() - cpu0;
        const double simCpu = cpuOf(simThreads) - simCpu0;
        const uint64_t bytes = sim.bytesReceived() + sim.bytesSent() - bytes0;
        const auto samples = static_cast<double>(monitor.Stats().samples.load());
        com.StopRequest.store(true);
        platform::WaitWhile([&] { return monitor.WorkerActive(); }, std::chrono::milliseconds(5000));

        const double bytesPerSample = samples > 0 ? static_cast<double>(bytes) / samples : 0.0;
        const double byteUs = static_cast<double>(kpdsim::kByteTimeNs) / 1000.0;
        const double limitRate = bytesPerSample > 0 ? 1e6 / (bytesPerSample * byteUs) : 0.0;
        const double rate = samples / seconds;
        const double monitorCpuPerSecond = (cpu - simCpu) / seconds;

        std::printf("status monitor against the paced simulator, %.2f s\n", seconds);
        std::printf("  samples                 %.0f (%d link failures)\n", samples, sink.linkFailures);
        std::printf("  bytes on the wire       %.1f per sample (%d reads with a sync each)\n", bytesPerSample,
                    kReadsPerSample);
        std::printf("  wire limit              %.2f samples/s (%.1f us per byte)\n", limitRate, byteUs);
        std::printf("  measured                %.2f samples/s\n", rate);
        std::printf("  fraction of wire limit  %.3f (target >= 0.95)\n",
                    limitRate > 0 ? rate / limitRate : 0.0);
        std::printf("  CPU, whole process      %.2f%% of one core\n", 100.0 * cpu / seconds);
        std::printf("  CPU, simulator thread   %.2f%% of one core\n", 100.0 * simCpu / seconds);
        std::printf("  CPU, monitoring         %.2f%% of one core (target <= 5%%)\n",
                    100.0 * monitorCpuPerSecond);
        if (sink.linkFailures != 0 || samples <= 0) result = 1;
        com.ClosePortIfOpen();
        sim.stop();
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return result;
}
