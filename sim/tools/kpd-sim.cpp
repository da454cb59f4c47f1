// kpd-sim: the simulated KPD Digital Sensor electronics on a pseudo-terminal, for running the application
// and the tests without hardware. Control commands are read from stdin, one per line.
#include "kpdsim/Simulator.h"

#include <atomic>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <poll.h>
#include <string>
#include <unistd.h>

namespace {

std::atomic<bool> g_quit{false};

void onSignal(int) {
    g_quit = true;
}

void usage(FILE *to) {
    std::fputs("Usage: kpd-sim --port-dir DIR --com N [options]\n"
               "Simulated KPD Digital Sensor electronics; port N is reached as DIR/COMN.\n"
               "Options:\n"
               "  --port-dir DIR       directory of the port links (required)\n"
               "  --com N              port number 1..256 (required)\n"
               "  --no-pacing          answer as fast as possible instead of at 38400 baud\n"
               "  --latency-ms N       fixed turnaround added to every reply\n"
               "  --model N            model code in ElectronicsId bits 5..8 (default 6)\n"
               "  --msp-version V      processor version (default 0x0105)\n"
               "  --sensor-type V      SensorType (default 0x1723)\n"
               "  --interp-depth V     InterpDepth (default 4096)\n"
               "  --firmware V         FirmwareVersion (default 0x0062)\n"
               "  --config V           Config at power-on (default 0)\n"
               "  --hours N            power-on time in hours\n"
               "  --cycles N           power-on cycles\n"
               "  --speed CPS          read head speed, counts per second (default 4000)\n"
               "  --align Q            alignment quality 0..1.5 (default 1.0)\n"
               "  --seed N             seed of the fault generator\n"
               "  --trace              print every request and reply in hex (stderr)\n"
               "  --log                keep the request log from the start (\"log show\" prints it)\n"
               "  --help               this text\n\n",
               to);
    std::fputs(kpdsim::Simulator::controlHelp().c_str(), to);
}

bool parseInt(const char *s, long long &v) {
    std::string t = s;
    int base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        t = t.substr(2);
        base = 16;
    }
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v, base);
    return !t.empty() && r.ec == std::errc() && r.ptr == t.data() + t.size();
}

bool parseDouble(const char *s, double &v) {
    const std::string t = s;
    const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    return !t.empty() && r.ec == std::errc() && r.ptr == t.data() + t.size();
}

} // namespace

int main(int argc, char **argv) {
    kpdsim::SimOptions opt;
    // A head moving about a turn of the signal per second: the encoder-signal plot's trail shows a
    // rotating arc, and the status display's position moves visibly.
    opt.speed = 4000.0;
    std::string dir;
    int com = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&](long long lo, long long hi, long long &v) {
            if (i + 1 >= argc || !parseInt(argv[i + 1], v) || v < lo || v > hi) {
                std::fprintf(stderr, "kpd-sim: %s needs a number from %lld to %lld\n", a.c_str(), lo, hi);
                std::exit(2);
            }
            ++i;
        };
        const auto real = [&](double lo, double hi, double &v) {
            if (i + 1 >= argc || !parseDouble(argv[i + 1], v) || v < lo || v > hi) {
                std::fprintf(stderr, "kpd-sim: %s needs a number from %g to %g\n", a.c_str(), lo, hi);
                std::exit(2);
            }
            ++i;
        };
        long long v = 0;
        if (a == "--help" || a == "-h") {
            usage(stdout);
            return 0;
        } else if (a == "--port-dir") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "kpd-sim: --port-dir needs a directory\n");
                return 2;
            }
            dir = argv[++i];
        } else if (a == "--com") {
            value(1, 256, v);
            com = static_cast<int>(v);
        } else if (a == "--no-pacing") {
            opt.pacing = false;
        } else if (a == "--latency-ms") {
            value(0, 60000, v);
            opt.latencyMs = static_cast<int>(v);
        } else if (a == "--model") {
            value(0, 15, v);
            opt.modelCode = static_cast<int>(v);
        } else if (a == "--msp-version") {
            value(0, 0xFFFF, v);
            opt.mspVersion = static_cast<uint16_t>(v);
        } else if (a == "--sensor-type") {
            value(0, 0xFFFF, v);
            opt.sensorType = static_cast<uint16_t>(v);
        } else if (a == "--interp-depth") {
            value(0, 0xFFFF, v);
            opt.interpDepth = static_cast<uint16_t>(v);
        } else if (a == "--firmware") {
            value(0, 0xFFFF, v);
            opt.firmwareVersion = static_cast<uint16_t>(v);
        } else if (a == "--config") {
            value(0, 0xFFFF, v);
            opt.config = static_cast<uint16_t>(v);
        } else if (a == "--hours") {
            value(0, 0xFFFFFFFFLL, v);
            opt.powerOnHours = static_cast<uint32_t>(v);
        } else if (a == "--cycles") {
            value(0, 0xFFFFFFFFLL, v);
            opt.powerOnCycles = static_cast<uint32_t>(v);
        } else if (a == "--seed") {
            value(0, 0x7FFFFFFFFFFFFFFFLL, v);
            opt.seed = static_cast<uint64_t>(v);
        } else if (a == "--speed") {
            real(-1e7, 1e7, opt.speed);
        } else if (a == "--align") {
            real(0, 2, opt.alignment);
        } else if (a == "--trace") {
            opt.trace = true;
        } else if (a == "--log") {
            opt.requestLog = true;
        } else {
            std::fprintf(stderr, "kpd-sim: unknown option %s (see --help)\n", a.c_str());
            return 2;
        }
    }
    if (dir.empty() || com == 0) {
        std::fprintf(stderr, "kpd-sim: --port-dir and --com are required (see --help)\n");
        return 2;
    }

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    kpdsim::Simulator sim(opt);
    if (!sim.start(dir, com)) {
        std::fprintf(stderr, "kpd-sim: %s\n", sim.lastError().c_str());
        return 1;
    }
    std::printf("kpd-sim ready: COM%d = %s (%s)\n", com, sim.devicePath().c_str(), sim.linkPath().c_str());
    std::fflush(stdout);

    std::string line;
    bool stdinOpen = true;
    while (!g_quit.load()) {
        pollfd p{STDIN_FILENO, POLLIN, 0};
        const int n = stdinOpen ? ::poll(&p, 1, 100) : (::usleep(100000), 0);
        if (n <= 0 || !(p.revents & (POLLIN | POLLHUP))) continue;
        char buf[512];
        const ssize_t r = ::read(STDIN_FILENO, buf, sizeof buf);
        if (r <= 0) { // end of input: keep running until a signal
            stdinOpen = false;
            continue;
        }
        line.append(buf, static_cast<size_t>(r));
        size_t nl;
        while ((nl = line.find('\n')) != std::string::npos) {
            const std::string cmd = line.substr(0, nl);
            line.erase(0, nl + 1);
            bool quit = false;
            std::string err;
            if (cmd == "log show") {
                std::fputs(kpdsim::formatLog(sim.requestLog()).c_str(), stdout);
                std::fflush(stdout);
                continue;
            }
            if (!sim.control(cmd, &quit, &err)) std::fprintf(stderr, "kpd-sim: %s\n", err.c_str());
            if (quit) g_quit = true;
        }
    }
    sim.stop();
    return 0;
}
