// Runs the status monitor (MainThread) against the paced simulator for about five seconds and prints the
// status samples per second as a fraction of the wire limit, and the CPU time the monitoring costs per
// second (the in-process simulator's own thread is measured separately and left out).
//
// Wire limit: one sample is nine register reads, each after a sync; the bytes the simulator reports on
// the line per sample, at 286.5 us per byte (38400 baud, 8E1: 11 bits), give the shortest sample time.
#include "access/ComData.h"
#include "workers/StatusMonitor.h"
#include "workers/StatusSink.h"
#include "platform/WorkerThread.h"

#include <ProcessCpu.h>
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
        std::set<int> simThreads = kpdbench::ThreadIds();
        simThreads.erase(static_cast<int>(::getpid()));

        CheapSink sink;
        kpd::StatusMonitor monitor(sink, &com);
        const uint64_t bytes0 = sim.bytesReceived() + sim.bytesSent();
        const double cpu0 = kpdbench::ProcessCpuSeconds();
        const double simCpu0 = kpdbench::CpuOf(simThreads);
        const auto t0 = std::chrono::steady_clock::now();
        monitor.StartLive();
        platform::RunEventsFor(std::chrono::milliseconds(static_cast<int>(kRunSeconds * 1000)));
        // Sample the counters while the monitor still runs, then stop it.
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double cpu = kpdbench::ProcessCpuSeconds() - cpu0;
        const double simCpu = kpdbench::CpuOf(simThreads) - simCpu0;
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
