// Runs the real main window (offscreen, scripted dialogs) with its status monitor against the paced
// in-process simulator for about eight seconds of live status monitoring, and prints the status samples per
// second as a fraction of the wire limit and the program's CPU time per second of monitoring.
//
// Wire limit: the bytes the simulator counts on the line per sample (requests received and replies sent),
// at 11 bits per byte and 38400 baud, give the shortest possible sample time. CPU: the process's CPU time
// (getrusage) minus that of the simulator's own threads (/proc/self/task), which stand in for the
// electronics.
#include "BenchEnvironment.h"
#include "ProcessCpu.h"
#include "access/ComData.h"
#include "kpdsim/Simulator.h"
#include "platform/ScriptedDialogs.h"
#include "platform/WorkerThread.h"
#include "session/StatusController.h"
#include "windows/MainForm.h"
#include "workers/StatusMonitor.h"

#include <QApplication>
#include <QLabel>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kPort = 1; // the search finds it at its first port
constexpr int kWarmUpMs = 500;
constexpr int kRunMs = 8000;
constexpr double kBitsPerByte = 11.0; // 8 data bits, even parity, one stop bit, one start bit
constexpr double kBaud = 38400.0;

uint64_t WireBytes(const kpdsim::Simulator &sim) {
    return sim.bytesReceived() + sim.bytesSent();
}

} // namespace

int main(int argc, char **argv) {
    // Before the first OpenPort: the search reaches only this directory's ports.
    const std::string dir = kpdbench::PrivateProgramDir("kpd-bench-app");
    if (dir.empty()) return 1;

    int result = 0;
    {
        QApplication app(argc, argv);
        const std::set<int> before = kpdbench::ThreadIds();
        kpdsim::Simulator sim; // paced at 38400 baud 8E1, moving head
        if (!sim.start(dir, kPort)) {
            std::fprintf(stderr, "simulator: %s\n", sim.lastError().c_str());
            return 1;
        }
        const std::set<int> simThreads = kpdbench::ThreadsStartedSince(before);

        platform::ScriptedDialogs dialogs; // no box is expected; any question would be recorded
        platform::ScopedDialogs scope(dialogs);
        auto form = std::make_unique<TMainForm>();
        form->session().waitMs = [](int) {}; // the search's pauses are not part of the figures
        form->show();
        form->session().Search();
        platform::WaitWhile([&] { return !form->session().Status().WorkerActive(); },
                            std::chrono::milliseconds(2000));
        if (!form->session().Access() || !form->session().Access()->PortOpen() ||
            !form->session().Status().WorkerActive()) {
            std::fprintf(stderr, "the main window did not start monitoring the simulator\n");
            return 1;
        }
        const auto &stats = form->session().Status().Monitor().Stats();
        platform::RunEventsFor(std::chrono::milliseconds(kWarmUpMs));

        const uint64_t samples0 = stats.samples.load();
        const uint64_t bytes0 = WireBytes(sim);
        const double cpu0 = kpdbench::ProcessCpuSeconds();
        const double simCpu0 = kpdbench::CpuOf(simThreads);
        const auto t0 = std::chrono::steady_clock::now();
        platform::RunEventsFor(std::chrono::milliseconds(kRunMs));
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double cpu = kpdbench::ProcessCpuSeconds() - cpu0;
        const double simCpu = kpdbench::CpuOf(simThreads) - simCpu0;
        const uint64_t bytes = WireBytes(sim) - bytes0;
        const auto samples = static_cast<double>(stats.samples.load() - samples0);
        const std::string shownTime = form->TimeText2->text().toStdString();
        const std::string shownPosition = form->EncoderPositionText->text().toStdString();

        form->session().Access()->StopRequest = true;
        platform::WaitUntilCleared(form->session().Access()->ThreadRunning, std::chrono::milliseconds(5000));
        form->session().Access()->ClosePortIfOpen();
        form.reset();

        const double bytesPerSample = samples > 0 ? static_cast<double>(bytes) / samples : 0.0;
        const double sampleWireSeconds = bytesPerSample * kBitsPerByte / kBaud;
        const double limitRate = sampleWireSeconds > 0 ? 1.0 / sampleWireSeconds : 0.0;
        const double rate = samples / seconds;
        const double fraction = limitRate > 0 ? rate / limitRate : 0.0;
        const double kpdCpu = (cpu - simCpu) / seconds;

        std::printf("KPD main window monitoring the paced simulator, %.2f s (after %d ms warm-up)\n", seconds,
                    kWarmUpMs);
        std::printf("  samples                 %.0f (last shown: time %s s, position %s)\n", samples,
                    shownTime.c_str(), shownPosition.c_str());
        std::printf("  bytes on the wire       %.1f per sample\n", bytesPerSample);
        std::printf("  wire limit              %.2f samples/s (11 bits per byte, 38400 baud)\n", limitRate);
        std::printf("  measured                %.2f samples/s\n", rate);
        std::printf("  fraction of wire limit  %.3f (target >= 0.95)\n", fraction);
        std::printf("  CPU, whole process      %.2f%% of one core\n", 100.0 * cpu / seconds);
        std::printf("  CPU, simulator threads  %.2f%% of one core\n", 100.0 * simCpu / seconds);
        std::printf("  CPU, KPD                %.2f%% of one core (target <= 5%%)\n", 100.0 * kpdCpu);
        std::printf("  dialogs asked           %zu\n", dialogs.Questions().size());
        if (samples <= 0 || !dialogs.Questions().empty()) result = 1;
        sim.stop();
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return result;
}
