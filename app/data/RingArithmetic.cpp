#include "data/RingArithmetic.h"

namespace RingArithmetic {

int32_t Wrap(int32_t index, int32_t capacity) {
    const int32_t r = index % capacity;
    return r < 0 ? r + capacity : r;
}

int32_t Predecessor(int32_t index, int32_t capacity) {
    return Wrap(index - 1, capacity);
}

int32_t Successor(int32_t index, int32_t capacity) {
    return Wrap(index + 1, capacity);
}

int32_t NewestIndex(int32_t count, int32_t capacity) {
    return Predecessor(count, capacity);
}

int32_t OldestIndex(int32_t count, bool wrapped) {
    return wrapped ? count : 0;
}

int32_t RecordCount(int32_t count, bool wrapped, int32_t capacity) {
    return wrapped ? capacity : count;
}

int32_t StepBackLimit(int32_t count, bool wrapped, int32_t capacity) {
    return wrapped ? capacity - 1 : count;
}

SavedRange SavedRecords(int32_t count, bool wrapped, int32_t capacity) {
    SavedRange range;
    range.size = wrapped ? capacity - 1 : count - 1;
    if (range.size <= 0) return SavedRange{};
    // The newest record is at count - 1; the range ends there.
    range.first = Wrap(count - range.size, capacity);
    return range;
}

float WindowStartTime(std::span<const float> interval, int32_t count, float elapsed, int32_t reviewCount) {
    const auto capacity = static_cast<int32_t>(interval.size());
    float t = elapsed;
    // Walk from the newest record towards the window's first one. The slot at the write index (count) is
    // not part of the window: it is stale or holds the oldest record, so its interval does not count.
    int32_t i = count;
    for (int32_t k = 0; k < reviewCount; ++k) {
        if (k > 0) t -= interval[static_cast<std::size_t>(i)];
        i = Predecessor(i, capacity);
    }
    return t;
}

StepBackResult StepBackWalk(std::span<const float> interval, int32_t count, bool wrapped, float elapsed,
                            int32_t reviewCount, int32_t reviewIndex, bool reviewStepFlag) {
    const auto capacity = static_cast<int32_t>(interval.size());
    StepBackResult result;
    result.reviewCount = reviewCount < 0 ? 0 : reviewCount;
    result.reviewIndex = reviewIndex;
    float t = WindowStartTime(interval, count, elapsed, result.reviewCount);
    if (!reviewStepFlag) {
        const float t0 = t;
        const int32_t limit = StepBackLimit(count, wrapped, capacity);
        if (result.reviewCount >= limit) return result; // the window already covers the ring
        // i is the window's current first record (the write index while the window is empty).
        int32_t i = Wrap(count - result.reviewCount, capacity);
        while (result.reviewCount < limit) {
            if (result.reviewCount > 0) t -= interval[static_cast<std::size_t>(i)];
            i = Predecessor(i, capacity);
            ++result.reviewCount;
            result.reviewIndex = i;
            if (t0 - t >= StepBackSeconds) break;
        }
    }
    result.show = true;
    result.time = t;
    return result;
}

StepBackResult StepBack(DataSetControl &set, std::span<const float> interval, bool reviewStepFlag) {
    const StepBackResult result =
        StepBackWalk(interval, set.count.load(), set.wrapped.load(), set.elapsed.load(),
                     set.reviewCount.load(), set.reviewIndex.load(), reviewStepFlag);
    if (result.show) {
        set.reviewCount.store(result.reviewCount);
        set.reviewIndex.store(result.reviewIndex);
        set.reviewElapsed.store(result.time);
    }
    return result;
}

bool HasReviewWindow(int32_t count, int32_t capacity, int32_t reviewIndex, int32_t reviewCount) {
    if (reviewCount <= 0) return false;
    if (reviewIndex < 0 || reviewIndex >= capacity) return false;
    return reviewIndex != count - 1;
}

} // namespace RingArithmetic
