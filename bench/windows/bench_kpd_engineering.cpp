// Runs the real main window (offscreen, scripted dialogs) with the engineering display against the paced
// in-process simulator, and prints the read-all passes per second as a fraction of the wire limit of one
// pass, the display's updates per second and the program's CPU time per second; then the same with the
// user-interface thread stalled for 2 s in the middle of the run (the worker does not wait for it).
//
// Wire limit of one pass: 42 slots, each a sync (0x80 out, 0x90 back: 2 bytes) and a read. A register
// read and the processor version read are a 10-byte request (start, command, two length bytes, 4 payload
// bytes, 2 checksum bytes) and an 8-byte reply (acknowledge, 2 data bytes, framing and checksum: n + 6);
// the two power-on reads have 4 data bytes, a 10-byte reply. 40 x (2 + 18) + 2 x (2 + 20) = 844 bytes at
// 11 bits per byte (start, 8 data, even parity, stop) and 38400 baud: 241.8 ms, 4.136 passes per second.
// The simulator's own count of the bytes on the line per pass is printed as a check.
//
// CPU: the process's CPU time minus that of the simulator's own threads, which stand in for the
// electronics.
#include "BenchEnvironment.h"
#include "ProcessCpu.h"
#include "access/ComData.h"
#include "kpdsim/Simulator.h"
#include "platform/ScriptedDialogs.h"
#include "platform/WorkerThread.h"
#include "session/EngineeringController.h"
#include "windows/MainForm.h"
#include "windows/TEngineeringDisplay.h"
#include "workers/ReadAllAcquisition.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>

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
constexpr int kWarmUpMs = 1000;
constexpr int kRunMs = 10000;
constexpr double kBitsPerByte = 11.0;
constexpr double kBaud = 38400.0;
constexpr double kSyncBytes = 2.0;
constexpr double kRequestBytes = 10.0;
constexpr double kTwoByteReplyBytes = 8.0;
constexpr double kFourByteReplyBytes = 10.0;
constexpr double kPassBytes = 40.0 * (kSyncBytes + kRequestBytes + kTwoByteReplyBytes) +
                              2.0 * (kSyncBytes + kRequestBytes + kFourByteReplyBytes);
constexpr double kWireLimit = kBaud / (kBitsPerByte * kPassBytes);

struct Figures {
    double seconds = 0;
    double passes = 0;
    double updates = 0;
    double wireBytes = 0;
    double kpdCpu = 0;
};

// Serves events until the worker publishes its next pass: the figures cover whole passes.
void UntilNextPass(const kpd::ReadAllStats &stats) {
    const uint64_t now = stats.passes.load();
    while (stats.passes.load() == now) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

Figures Measure(TMainForm &form, kpdsim::Simulator &sim, const std::set<int> &simThreads, const int &updates,
                bool stall) {
    const kpd::ReadAllStats &stats = form.session().Engineering().Acquisition().Stats();
    platform::RunEventsFor(std::chrono::milliseconds(kWarmUpMs));
    UntilNextPass(stats);
    const uint64_t passes0 = stats.passes.load();
    const int updates0 = updates;
    const uint64_t bytes0 = sim.bytesReceived() + sim.bytesSent();
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
    UntilNextPass(stats);
    Figures f;
    f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    f.passes = static_cast<double>(stats.passes.load() - passes0);
    f.updates = updates - updates0;
    f.wireBytes = static_cast<double>(sim.bytesReceived() + sim.bytesSent() - bytes0);
    f.kpdCpu = (kpdbench::ProcessCpuSeconds() - cpu0 - (kpdbench::CpuOf(simThreads) - simCpu0)) / f.seconds;
    return f;
}

void Print(const char *what, const Figures &f) {
    const double rate = f.passes / f.seconds;
    std::printf("%s, %.2f s\n", what, f.seconds);
    std::printf("  read-all passes          %.0f (%.3f/s; wire limit %.3f/s = 1 / %.1f ms)\n", f.passes, rate,
                kWireLimit, 1000.0 / kWireLimit);
    std::printf("  fraction of wire limit   %.3f (target >= 0.9)\n", rate / kWireLimit);
    if (f.passes > 0)
        std::printf("  bytes on the line/pass   %.1f (worked out: %.0f)\n", f.wireBytes / f.passes,
                    kPassBytes);
    std::printf("  display updates          %.2f/s\n", f.updates / f.seconds);
    std::printf("  CPU, KPD                 %.2f%% of one core (target <= 5%%)\n", 100.0 * f.kpdCpu);
}

} // namespace

int main(int argc, char **argv) {
    // Before the first OpenPort: the search reaches only this directory's ports.
    const std::string dir = kpdbench::PrivateProgramDir("kpd-bench-eng");
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
        form->EngineeringDisplay = new TEngineeringDisplay(form.get());
        form->session().waitMs = [](int) {};
        form->show();
        form->session().States().Set(kpd::DisplayMode::Status, kpd::DataState::Stopped);
        form->session().Search();
        // Every text change of the position box (the head moves: each pass shows a new position).
        int updates = 0;
        QObject::connect(form->EngineeringDisplay->findChild<QLineEdit *>("positionbox"),
                         &QLineEdit::textChanged, [&updates] { ++updates; });
        form->session().ShowEngineering();
        platform::WaitWhile([&] { return !form->session().Engineering().WorkerActive(); },
                            std::chrono::milliseconds(5000));
        if (!form->session().Engineering().WorkerActive()) {
            std::fprintf(stderr, "the read-all worker did not start\n");
            return 1;
        }
        Print("Engineering display (mode 4)", Measure(*form, sim, simThreads, updates, false));
        Print("Engineering display, user-interface thread stalled 2 s",
              Measure(*form, sim, simThreads, updates, true));
        const kpd::ReadAllStats &stats = form->session().Engineering().Acquisition().Stats();
        std::printf("failed reads %llu, dialogs asked %zu\n",
                    static_cast<unsigned long long>(stats.failedReads.load()), dialogs.Questions().size());
        if (!dialogs.Questions().empty() || stats.failedReads.load() != 0) result = 1;
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
