// FaultSchedule: switches the simulated electronics' faults at random. Mostly one fault at a time for a few
// seconds, now and then two together, with quiet stretches between them so that the tool can recover:
// unplugged (silent), corrupt checksums, dropped bytes, noise, slow replies, a stalled stream, and bursts
// of stream records with a word out of range.
//
// Driven from the user-interface thread's timer, so a fault never changes in the middle of a blocking step
// of the tool.
#pragma once

#include "SoakFigures.h"

#include "kpdsim/Simulator.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace soak {

class FaultSchedule {
public:
    enum Kind { Silent, CorruptChecksums, DropBytes, Noise, SlowReplies, StreamStall, BadWords, KindCount };

    FaultSchedule(kpdsim::Simulator &sim, std::mt19937_64 &rng, SoakFigures &figures);

    // Switches faults on or off when their time has come (nowMs: the soak's clock).
    void Tick(int64_t nowMs);
    // Every fault off, and no more until Resume.
    void StopAll(int64_t nowMs);
    void Resume(int64_t nowMs);

    bool Quiet() const { return active_.empty(); }
    // Milliseconds since the last fault ended (0 while one is on).
    int64_t QuietForMs(int64_t nowMs) const { return Quiet() ? nowMs - quietSinceMs_ : 0; }
    std::string Describe() const;
    static const char *Name(Kind k);

private:
    void Start(Kind k, int64_t nowMs);
    void Clear(Kind k);
    int Uniform(int lo, int hi);

    kpdsim::Simulator &sim_;
    std::mt19937_64 &rng_;
    SoakFigures &figures_;
    std::vector<std::pair<Kind, std::string>> active_; // with what was set
    bool stopped_ = false;
    int64_t nextSwitchMs_ = 8000; // the first search and the first actions run without faults
    int64_t quietSinceMs_ = 0;
};

} // namespace soak
