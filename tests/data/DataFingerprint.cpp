#include "DataFingerprint.h"

#include <cstddef>

namespace {

void Mix(uint64_t &hash, const void *data, std::size_t size) {
    const auto *bytes = static_cast<const unsigned char *>(data);
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
}

template <typename Array> void MixArray(uint64_t &hash, const Array &array) {
    Mix(hash, array.data(), array.size() * sizeof(array[0]));
}

void MixControl(uint64_t &hash, const DataSetControl &c) {
    const int32_t ints[] = {c.count.load(),           c.reviewCount.load(),
                            c.reviewIndex.load(),     c.reviewTarget.load(),
                            c.wrapped.load() ? 1 : 0, c.resetOnNextLiveStart.load() ? 1 : 0};
    const float floats[] = {c.elapsed.load(), c.reviewElapsed.load()};
    Mix(hash, ints, sizeof ints);
    Mix(hash, floats, sizeof floats);
}

} // namespace

uint64_t Fingerprint(const DataSets &sets) {
    uint64_t hash = 1469598103934665603ull;
    const auto &s = sets.SetupStatus();
    MixControl(hash, s);
    MixArray(hash, s.position);
    MixArray(hash, s.xAD);
    MixArray(hash, s.yAD);
    MixArray(hash, s.status);
    MixArray(hash, s.magnitude);
    MixArray(hash, s.interval);
    const auto &e = sets.EncoderSignal();
    MixControl(hash, e);
    MixArray(hash, e.w1);
    MixArray(hash, e.w2);
    MixArray(hash, e.w3);
    MixArray(hash, e.w4);
    MixArray(hash, e.interval);
    const auto &g = sets.SignalStrength();
    MixControl(hash, g);
    MixArray(hash, g.a);
    MixArray(hash, g.b);
    MixArray(hash, g.c);
    MixArray(hash, g.interval);
    const auto &p = sets.PositionVelocity();
    MixControl(hash, p);
    MixArray(hash, p.position);
    MixArray(hash, p.velocity);
    MixArray(hash, p.position64);
    MixArray(hash, p.magnitude);
    MixArray(hash, p.interval);
    return hash;
}
