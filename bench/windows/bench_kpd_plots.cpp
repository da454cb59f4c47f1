// Runs the real main window (offscreen, scripted dialogs) in the plot modes 1 (encoder signal) and 3
// (signal plots) against the paced in-process simulator, and prints for each: stream records received per
// second as a fraction of the wire limit, records lost (records the simulator sent against records the
// ring received), frames painted per second, and the program's CPU time per second; then the same with
// the user-interface thread stalled for 2 s in the middle of the run.
//
// Wire limit: a record of four words is 10 bytes (marker and data) at 11 bits per byte and 38400 baud:
// 349.09 records per second.
#include "BenchEnvironment.h"
#include "ProcessCpu.h"
#include "access/ComData.h"
#include "kpdsim/Simulator.h"
#include "platform/ScriptedDialogs.h"
#include "platform/WorkerThread.h"
#include "session/PlotController.h"
#include "windows/MainForm.h"
#include "windows/PlotDisplay.h"
#include "workers/StreamAcquisition.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kPort = 1;
constexpr int kWarmUpMs = 500;
constexpr int kRunMs = 8000;
constexpr double kRecordBytes = 10.0;
constexpr double kWireLimit = 38400.0 / (11.0 * kRecordBytes);

struct Figures {
    double seconds = 0;
    double records = 0;
    double sent = 0;
    double frames = 0;
    double kpdCpu = 0;
};

Figures Measure(TMainForm &form, kpd::DisplayMode mode, kpdsim::Simulator &sim, const std::set<int> &simThreads,
                bool stall) {
    const kpd::StreamStats &stats = form.session().Plot(mode).Acquisition().Stats();
    platform::RunEventsFor(std::chrono::milliseconds(kWarmUpMs));
    const uint64_t records0 = stats.records.load();
    const uint64_t sent0 = sim.recordsSent();
    const uint64_t frames0 = form.Plots().FramesPainted();
    const double cpu0 = kpdbench::ProcessCpuSeconds();
    const double simCpu0 = kpdbench::CpuOf(simThreads);
    const auto t0 = std::chrono::steady_clock::now();
    if (stall) {
        platform::RunEventsFor(std::chrono::milliseconds(kRunMs / 2 - 1000));
        std::this_thread::sleep_for(std::chrono::seconds(2)); // the window answers nothing
        platform::RunEventsFor(std::chrono::milliseconds(kRunMs / 2 - 1000));
    } else {
        platform::RunEventsFor(std::chrono::milliseconds(kRunMs));
    }
    Figures f;
    f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    f.records = static_cast<double>(stats.records.load() - records0);
    f.sent = static_cast<double>(sim.recordsSent() - sent0);
    f.frames = static_cast<double>(form.Plots().FramesPainted() - frames0);
    f.kpdCpu = (kpdbench::ProcessCpuSeconds() - cpu0 - (kpdbench::CpuOf(simThreads) - simCpu0)) / f.seconds;
    return f;
}

void Print(const char *what, const Figures &f) {
    const double rate = f.records / f.seconds;
    std::printf("%s, %.2f s\n", what, f.seconds);
    std::printf("  records received        %.0f (%.2f/s; wire limit %.2f/s)\n", f.records, rate, kWireLimit);
    std::printf("  fraction of wire limit  %.3f (target >= 0.98)\n", rate / kWireLimit);
    std::printf("  records lost            %.0f (sent %.0f; a record on the line at either end counts once)\n",
                f.sent - f.records, f.sent);
    std::printf("  frames painted          %.1f/s\n", f.frames / f.seconds);
    std::printf("  CPU, KPD                %.2f%% of one core (target <= 8%%)\n", 100.0 * f.kpdCpu);
}

} // namespace

int main(int argc, char **argv) {
    // Before the first OpenPort: the search reaches only this directory's ports.
    const std::string dir = kpdbench::PrivateProgramDir("kpd-bench-plots");
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

        platform::ScriptedDialogs dialogs;
        platform::ScopedDialogs scope(dialogs);
        auto form = std::make_unique<TMainForm>();
        form->session().waitMs = [](int) {};
        form->show();
        form->session().Search();
        for (kpd::DisplayMode mode : {kpd::DisplayMode::EncoderSignal, kpd::DisplayMode::SignalPlots}) {
            form->session().ShowPlotMode(mode, kpd::CmdShowEncoderSignal + kpd::Index(mode) - 1);
            platform::WaitWhile([&] { return !form->session().Plot(mode).WorkerActive(); },
                                std::chrono::milliseconds(5000));
            if (!form->session().Plot(mode).WorkerActive()) {
                std::fprintf(stderr, "display mode %d did not start streaming\n", kpd::Index(mode));
                return 1;
            }
            const char *name = mode == kpd::DisplayMode::EncoderSignal ? "Encoder signal (mode 1)"
                                                                        : "Signal plots (mode 3)";
            Print(name, Measure(*form, mode, sim, simThreads, false));
            Print((std::string(name) + ", user-interface thread stalled 2 s").c_str(),
                  Measure(*form, mode, sim, simThreads, true));
        }
        std::printf("dialogs asked %zu\n", dialogs.Questions().size());
        if (!dialogs.Questions().empty()) result = 1;
        form->session().Access()->StopRequest = true;
        platform::WaitWhile([&] { return form->session().WorkerExists(); }, std::chrono::milliseconds(5000));
        form->session().Access()->ClosePortIfOpen();
        form.reset();
        sim.stop();
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return result;
}
