// The status sample rate, side by side against one paced simulator, as fractions of the wire limit:
//   bare loop   the nine reads of a sample straight through senslink, no thread, no window;
//   KPD         the real main window with its status monitor;
//   scripted    the same sample scripted in Python with pyserial (bench/scripted/status_client.py).
// Three runs, each giving every client the same time in short alternating slices; the medians of the runs
// are printed with KPD's CPU time and compared with the targets (KPD at least 0.95 of the wire limit and
// at least 0.02 ahead of the scripted client, at most 5% of one core). Argument: seconds per client and
// run (default 12).
//
// Wire limit: the bytes the simulator counts on the line per sample, at 11 bits per byte and 38400 baud.
#include "BenchEnvironment.h"
#include "ProcessCpu.h"
#include "access/ComData.h"
#include "kpdsim/Simulator.h"
#include "platform/ScriptedDialogs.h"
#include "platform/WorkerThread.h"
#include "senslink.h"
#include "session/StatusController.h"
#include "windows/MainForm.h"
#include "workers/StatusMonitor.h"

#include <QApplication>
#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#ifndef KPD_SCRIPTED_CLIENT
#error "KPD_SCRIPTED_CLIENT must name the scripted client"
#endif

namespace {

constexpr int kPort = 1; // the window's search finds it at its first port
constexpr double kBitsPerByte = 11.0;
constexpr double kBaud = 38400.0;

// What one client did in the time measured; the slices of a run add up.
struct Figure {
    double samples = 0.0;
    double seconds = 0.0;
    uint64_t bytes = 0;
    double cpuSeconds = 0.0; // KPD only: the process's CPU time, the simulator's threads left out
    bool ok = false; // a run's total starts true and stays so while every slice succeeds

    double rate() const { return seconds > 0 ? samples / seconds : 0.0; }
    double bytesPerSample() const { return samples > 0 ? static_cast<double>(bytes) / samples : 0.0; }
    double fraction() const { return rate() * bytesPerSample() * kBitsPerByte / kBaud; }
    double cpu() const { return seconds > 0 ? cpuSeconds / seconds : 0.0; } // share of one core
    void Add(const Figure &f) {
        samples += f.samples;
        seconds += f.seconds;
        bytes += f.bytes;
        cpuSeconds += f.cpuSeconds;
        ok = ok && f.ok;
    }
};

Figure FigureOf(double samples, double seconds, uint64_t bytes) {
    Figure f;
    if (samples <= 0 || seconds <= 0) return f;
    f.samples = samples;
    f.seconds = seconds;
    f.bytes = bytes;
    f.ok = true;
    return f;
}

uint64_t WireBytes(const kpdsim::Simulator &sim) {
    return sim.bytesReceived() + sim.bytesSent();
}

struct Read {
    uint8_t reg;
    uint8_t modifier;
    bool purge; // the first read of a step comes after a receive purge
};
constexpr Read kSample[] = {{0x92, 0, true},  {0x42, 0, true},  {0x32, 0, true}, {0x34, 0, true},
                            {0x02, 0, true},  {0x85, 2, true},  {0x86, 2, false}, {0x84, 0, false},
                            {0x3E, 0, true}};

Figure BareLoop(kpdsim::Simulator &sim, double seconds) {
    if (OpenPort(kPort) != 0 || ConfigPort(kPort, 200, 38400) != 0 || DoSynchronize(kPort) != 1) return {};
    int samples = 0;
    const uint64_t bytes0 = WireBytes(sim);
    const auto t0 = std::chrono::steady_clock::now();
    double elapsed = 0;
    while ((elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count()) < seconds) {
        bool ok = true;
        for (const Read &r : kSample) {
            if (r.purge) ClearRxBuffer(kPort);
            uint16_t v = 0;
            if (SendSync(kPort) != 0 ||
                ReadRegisterVK240(kPort, (uint32_t(r.modifier) << 24) | (uint32_t(r.reg) << 16), &v) != 0) {
                ok = false;
                break;
            }
        }
        if (ok) ++samples;
    }
    const uint64_t bytes = WireBytes(sim) - bytes0;
    ClosePort(kPort);
    return FigureOf(samples, elapsed, bytes);
}

Figure Window(kpdsim::Simulator &sim, const std::set<int> &simThreads, double seconds) {
    platform::ScriptedDialogs dialogs;
    platform::ScopedDialogs scope(dialogs);
    auto form = std::make_unique<TMainForm>();
    form->session().waitMs = [](int) {};
    form->show();
    form->session().Search();
    platform::WaitWhile([&] { return !form->session().Status().WorkerActive(); }, std::chrono::milliseconds(2000));
    if (!form->session().Access() || !form->session().Status().WorkerActive()) return {};
    const auto &stats = form->session().Status().Monitor().Stats();
    platform::RunEventsFor(std::chrono::milliseconds(300));

    const uint64_t samples0 = stats.samples.load();
    const uint64_t bytes0 = WireBytes(sim);
    const double cpu0 = kpdbench::ProcessCpuSeconds() - kpdbench::CpuOf(simThreads);
    const auto t0 = std::chrono::steady_clock::now();
    platform::RunEventsFor(std::chrono::milliseconds(static_cast<int>(seconds * 1000)));
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = kpdbench::ProcessCpuSeconds() - kpdbench::CpuOf(simThreads) - cpu0;
    const auto samples = static_cast<double>(stats.samples.load() - samples0);
    const uint64_t bytes = WireBytes(sim) - bytes0;

    form->session().Access()->StopRequest = true;
    platform::WaitUntilCleared(form->session().Access()->ThreadRunning, std::chrono::milliseconds(5000));
    form->session().Access()->ClosePortIfOpen();
    form.reset();
    Figure f = FigureOf(samples, elapsed, bytes);
    f.cpuSeconds = cpu;
    if (!dialogs.Questions().empty()) f.ok = false;
    return f;
}

Figure Scripted(kpdsim::Simulator &sim, const std::string &dir, double seconds) {
    QProcess p;
    const uint64_t bytes0 = WireBytes(sim);
    p.start("/usr/bin/python3", {KPD_SCRIPTED_CLIENT, QString::fromStdString(dir + "/COM1"),
                                 QString::number(seconds), "N"});
    if (!p.waitForFinished(static_cast<int>(seconds * 1000) + 20000) || p.exitCode() != 0) {
        std::fprintf(stderr, "scripted client: %s\n", p.readAllStandardError().constData());
        return {};
    }
    const uint64_t bytes = WireBytes(sim) - bytes0;
    int samples = 0, failures = 0;
    double elapsed = 0;
    const QByteArray out = p.readAllStandardOutput();
    if (std::sscanf(out.constData(), "samples=%d failures=%d seconds=%lf", &samples, &failures, &elapsed) != 3)
        return {};
    return FigureOf(samples, elapsed, bytes);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
    const std::string dir = kpdbench::PrivateProgramDir("kpd-bench-rates");
    if (dir.empty()) return 1;
    const double seconds = argc > 1 ? std::atof(argv[1]) : 12.0;
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

        // Each run alternates the three clients in short slices, so that a slower or faster spell of the
        // machine (its wake-up latency drifts over seconds) falls on all three alike.
        constexpr int kSlices = 4;
        const double slice = seconds / kSlices;
        std::vector<double> bare, kpd, scripted, cpu;
        std::printf("status samples against the paced simulator: three runs of %.1f s per client, each in %d "
                    "alternating slices\n",
                    seconds, kSlices);
        std::printf("  run    bare loop   KPD window (CPU)    scripted client\n");
        for (int run = 1; run <= 3 && result == 0; ++run) {
            Figure b, k, sc;
            b.ok = k.ok = sc.ok = true;
            for (int i = 0; i < kSlices; ++i) {
                b.Add(BareLoop(sim, slice));
                k.Add(Window(sim, simThreads, slice));
                sc.Add(Scripted(sim, dir, slice));
            }
            if (!b.ok || !k.ok || !sc.ok) {
                std::fprintf(stderr, "run %d: a slice failed (bare %d, KPD %d, scripted %d)\n", run, b.ok, k.ok,
                             sc.ok);
                result = 1;
                break;
            }
            std::printf("  %d      %.4f      %.4f (%.2f%%)     %.4f   (%.1f / %.1f / %.1f bytes per sample)\n",
                        run, b.fraction(), k.fraction(), 100.0 * k.cpu(), sc.fraction(), b.bytesPerSample(),
                        k.bytesPerSample(), sc.bytesPerSample());
            bare.push_back(b.fraction());
            kpd.push_back(k.fraction());
            scripted.push_back(sc.fraction());
            cpu.push_back(k.cpu());
        }
        if (result == 0) {
            const double mk = Median(kpd), ms = Median(scripted), mc = Median(cpu);
            std::printf("  median %.4f      %.4f (%.2f%%)     %.4f\n", Median(bare), mk, 100.0 * mc, ms);
            const bool met = mk >= 0.95 && mk - ms >= 0.02 && mc <= 0.05;
            std::printf("  KPD - scripted %.4f; targets (KPD >= 0.95, >= 0.02 ahead, CPU <= 5%%): %s\n", mk - ms,
                        met ? "met" : "NOT met");
        }
        sim.stop();
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return result;
}
