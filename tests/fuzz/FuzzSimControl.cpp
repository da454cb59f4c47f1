// Fuzzes the simulator's control commands, the lines typed on the standard input of kpd-sim ("silent on",
// "corrupt 0.1", "reg 42 1234", ...).
//
// Input: text, one command per line, each handed to Simulator::control of a simulator that is not
// started (the commands only set its state). Checked on every line: a refused command says why, "quit"
// and "exit" ask to end and nothing else does, an accepted number lies within the range the command
// documents (a finite fraction, quality or speed; milliseconds, counts, registers and values in theirs),
// and whatever was accepted leaves the read head on the scale and the model's readings usable.
#include "kpdsim/Simulator.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <locale>
#include <sstream>
#include <string>
#include <string_view>

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// The whole token as a number (C locale); false when it is none.
bool Real(const std::string &token, double &value) {
    char *end = nullptr;
    value = std::strtod(token.c_str(), &end);
    return !token.empty() && end == token.c_str() + token.size();
}

bool Whole(const std::string &token, int base, long long &value) {
    char *end = nullptr;
    value = std::strtoll(token.c_str(), &end, base);
    return !token.empty() && end == token.c_str() + token.size();
}

bool RealIn(const std::string &token, double low, double high) {
    double v = 0;
    return Real(token, v) && std::isfinite(v) && v >= low && v <= high;
}

bool WholeIn(const std::string &token, int base, long long low, long long high) {
    long long v = 0;
    return Whole(token, base, v) && v >= low && v <= high;
}

// An accepted command's numbers are within the ranges the commands document.
void CheckAcceptedNumbers(const std::string &line) {
    std::istringstream is(line);
    is.imbue(std::locale::classic());
    std::string cmd, a, b;
    is >> cmd >> a >> b;
    if (cmd == "corrupt" || cmd == "drop") require(RealIn(a, 0.0, 1.0));
    if (cmd == "align") require(RealIn(a, 0.0, 2.0));
    if (cmd == "speed") require(RealIn(a, -1e7, 1e7));
    if (cmd == "slow" || cmd == "latency") require(WholeIn(a, 10, 0, 60000));
    if (cmd == "badword" && !a.empty()) require(WholeIn(a, 10, 1, 1000000));
    if (cmd == "badread") {
        require(WholeIn(a, 16, 0, 255));
        if (!b.empty()) require(WholeIn(b, 10, 1, 1000000));
    }
    if (cmd == "calfault") require(WholeIn(a, 16, 0, 0xFFFF));
    if (cmd == "distort" && a != "off") {
        std::string c, d;
        is >> c >> d;
        require(RealIn(a, -100, 100) && RealIn(b, -100, 100) && RealIn(c, 0, 2) && RealIn(d, -90, 90));
    }
    if (cmd == "reg") {
        require(WholeIn(a, 16, 0, 255));
        if (b != "release") require(WholeIn(b, 16, 0, 0xFFFF));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    kpdsim::SimOptions options;
    options.pacing = false;
    kpdsim::Simulator sim(options);
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        const std::string line(text.substr(at, end - at));
        at = end + 1;

        bool quit = true;
        std::string error;
        const bool ok = sim.control(line, &quit, &error);
        require(ok || !error.empty());
        require(!ok || error.empty());
        if (ok) CheckAcceptedNumbers(line);
        if (quit) {
            require(ok);
            const std::string_view word = std::string_view(line).substr(line.find_first_not_of(" \t\r\v\f"));
            require(word.rfind("quit", 0) == 0 || word.rfind("exit", 0) == 0);
        }
        const int64_t head = sim.position();
        require(head >= 0 && head <= options.travel);
        (void)sim.positionCount();
        (void)sim.magnitude();
        require(sim.operatingState() >= 0 && sim.operatingState() < 64);
        (void)sim.reg(0x42); // status word from the model's state
    }
    return 0;
}
