// Measures the status-sample rate of the status monitor's poll (nine register reads, each after a receive
// purge and a sync) against the paced simulator, as a fraction of the wire limit of the bytes exchanged,
// and the register read rate against the unpaced simulator.
#include "kpdsim/Simulator.h"
#include "senslink.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int kPort = 230;

struct Read {
    uint8_t reg;
    uint8_t modifier;
};
// AtStatus, Status, XAdc, YAdc, GenReg1, PositionLow (2), PositionHigh (2), PositionRelease, Magnitude.
constexpr Read kSample[] = {{0x92, 0}, {0x42, 0}, {0x32, 0}, {0x34, 0}, {0x02, 0},
                            {0x85, 2}, {0x86, 2}, {0x84, 0}, {0x3E, 0}};
// Bytes on the line per read: sync 1 + 1, request 10, reply 8.
constexpr int kBytesPerRead = 20;

bool sample() {
    for (const Read &r : kSample) {
        ClearRxBuffer(kPort);
        if (SendSync(kPort) != 0) return false;
        uint16_t v = 0;
        if (ReadRegisterVK240(kPort, (uint32_t(r.modifier) << 24) | (uint32_t(r.reg) << 16), &v) != 0)
            return false;
    }
    return true;
}

bool open(kpdsim::Simulator &sim, const std::string &dir) {
    if (!sim.start(dir, kPort)) {
        std::fprintf(stderr, "simulator: %s\n", sim.lastError().c_str());
        return false;
    }
    return OpenPort(kPort) == 0 && ConfigPort(kPort, 200, 38400) == 0 && DoSynchronize(kPort) == 1;
}

} // namespace

int main(int argc, char **argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    char tmpl[] = "/tmp/kpdsim-bench-XXXXXX";
    if (!::mkdtemp(tmpl)) return 1;
    const std::string dir = tmpl;
    ::setenv("SENSLINK_PORT_DIR", dir.c_str(), 1);
    using clock = std::chrono::steady_clock;
    int rc = 0;

    {
        kpdsim::SimOptions o;
        kpdsim::Simulator sim(o);
        if (!open(sim, dir)) return 1;
        int samples = 0, failures = 0;
        const auto t0 = clock::now();
        while (std::chrono::duration<double>(clock::now() - t0).count() < seconds) {
            if (sample())
                ++samples;
            else
                ++failures;
        }
        const double s = std::chrono::duration<double>(clock::now() - t0).count();
        const double rate = samples / s;
        const double wireLimit = 38400.0 / 11.0 / (9.0 * kBytesPerRead);
        std::printf("paced status samples: %d in %.2f s = %.2f samples/s; wire limit %.2f samples/s; "
                    "fraction %.4f (target >= 0.97); failures %d\n",
                    samples, s, rate, wireLimit, rate / wireLimit, failures);
        if (failures) rc = 1;
        ClosePort(kPort);
    }
    {
        kpdsim::SimOptions o;
        o.pacing = false;
        kpdsim::Simulator sim(o);
        if (!open(sim, dir)) return 1;
        int reads = 0, failures = 0;
        const auto t0 = clock::now();
        while (std::chrono::duration<double>(clock::now() - t0).count() < seconds) {
            ClearRxBuffer(kPort);
            if (SendSync(kPort) != 0) {
                ++failures;
                continue;
            }
            uint16_t v = 0;
            if (ReadRegisterVK240(kPort, 0x920000, &v) == 0)
                ++reads;
            else
                ++failures;
        }
        const double s = std::chrono::duration<double>(clock::now() - t0).count();
        std::printf(
            "unpaced register reads (purge + sync + read): %d in %.2f s = %.0f reads/s; failures %d\n", reads,
            s, reads / s, failures);
        int plain = 0;
        const auto t1 = clock::now();
        while (std::chrono::duration<double>(clock::now() - t1).count() < seconds) {
            uint16_t v = 0;
            if (ReadRegisterVK240(kPort, 0x920000, &v) == 0) ++plain;
        }
        const double s1 = std::chrono::duration<double>(clock::now() - t1).count();
        std::printf("unpaced register reads (read only): %d in %.2f s = %.0f reads/s\n", plain, s1,
                    plain / s1);
        if (failures) rc = 1;
        ClosePort(kPort);
    }
    std::filesystem::remove_all(dir);
    return rc;
}
