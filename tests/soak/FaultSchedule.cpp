#include "FaultSchedule.h"

#include <algorithm>
#include <cstdio>

namespace soak {

FaultSchedule::FaultSchedule(kpdsim::Simulator &sim, std::mt19937_64 &rng, SoakFigures &figures)
    : sim_(sim), rng_(rng), figures_(figures) {}

const char *FaultSchedule::Name(Kind k) {
    static const char *const names[KindCount] = {"silent",      "corrupt checksums", "dropped bytes", "noise",
                                                 "slow replies", "stream stall",      "bad words"};
    return names[k];
}

int FaultSchedule::Uniform(int lo, int hi) {
    return std::uniform_int_distribution<int>(lo, hi)(rng_);
}

void FaultSchedule::Tick(int64_t nowMs) {
    if (stopped_ || nowMs < nextSwitchMs_) return;
    if (!active_.empty()) {
        while (!active_.empty()) {
            Clear(active_.back().first);
            active_.pop_back();
        }
        quietSinceMs_ = nowMs;
        nextSwitchMs_ = nowMs + Uniform(3000, 12000);
        return;
    }
    const int faults = Uniform(1, 100) <= 85 ? 1 : 2;
    for (int i = 0; i < faults; ++i) {
        auto k = static_cast<Kind>(Uniform(0, KindCount - 1));
        if (std::any_of(active_.begin(), active_.end(), [k](const auto &a) { return a.first == k; })) continue;
        Start(k, nowMs);
    }
    nextSwitchMs_ = nowMs + Uniform(1000, 6000);
}

void FaultSchedule::Start(Kind k, int64_t) {
    char what[64] = "";
    switch (k) {
    case Silent:
        sim_.setSilent(true);
        break;
    case CorruptChecksums: {
        const double f = Uniform(5, 60) / 100.0;
        sim_.setCorruptChecksumFraction(f);
        std::snprintf(what, sizeof what, " %.2f", f);
        break;
    }
    case DropBytes: {
        const double f = Uniform(5, 100) / 1000.0;
        sim_.setDropByteFraction(f);
        std::snprintf(what, sizeof what, " %.3f", f);
        break;
    }
    case Noise:
        sim_.setNoise(true);
        break;
    case SlowReplies: {
        const int ms = Uniform(30, 400);
        sim_.setSlowReplyMs(ms);
        std::snprintf(what, sizeof what, " %d ms", ms);
        break;
    }
    case StreamStall:
        sim_.setStreamStall(true);
        break;
    case BadWords: {
        const int n = Uniform(1, 30);
        sim_.injectBadWords(n);
        std::snprintf(what, sizeof what, " %d records", n);
        break;
    }
    case KindCount:
        return;
    }
    ++figures_.faults[Name(k)];
    active_.emplace_back(k, std::string(Name(k)) + what);
}

void FaultSchedule::Clear(Kind k) {
    switch (k) {
    case Silent:
        sim_.setSilent(false);
        break;
    case CorruptChecksums:
        sim_.setCorruptChecksumFraction(0);
        break;
    case DropBytes:
        sim_.setDropByteFraction(0);
        break;
    case Noise:
        sim_.setNoise(false);
        break;
    case SlowReplies:
        sim_.setSlowReplyMs(0);
        break;
    case StreamStall:
        sim_.setStreamStall(false);
        break;
    case BadWords:
    case KindCount:
        break;
    }
}

void FaultSchedule::StopAll(int64_t nowMs) {
    for (const auto &a : active_)
        Clear(a.first);
    if (!active_.empty()) quietSinceMs_ = nowMs;
    active_.clear();
    stopped_ = true;
}

void FaultSchedule::Resume(int64_t nowMs) {
    stopped_ = false;
    nextSwitchMs_ = nowMs;
}

std::string FaultSchedule::Describe() const {
    if (active_.empty()) return "none";
    std::string s;
    for (const auto &a : active_)
        s += (s.empty() ? "" : ", ") + a.second;
    return s;
}

} // namespace soak
