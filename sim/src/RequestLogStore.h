// The bounded, thread-safe store behind the simulator's request log: the electronics' thread adds, any
// thread reads. When full, the oldest entry goes (and is counted).
#ifndef KPDSIM_REQUESTLOGSTORE_H
#define KPDSIM_REQUESTLOGSTORE_H

#include "kpdsim/RequestLog.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

namespace kpdsim {

class RequestLogStore {
public:
    static constexpr std::size_t kDefaultCapacity = 20000;

    void setEnabled(bool on);
    bool enabled() const { return enabled_.load(); }
    void setCapacity(std::size_t capacity); // at least 1; drops the oldest entries beyond it
    std::size_t capacity() const;

    // Adds the entry when the log is enabled.
    void add(LogEntry entry);
    // When the newest entry is a stop burst whose last byte came at most withinNs before timeNs, counts
    // the bytes into it (and marks it as the end of a stream if these bytes ended one) and returns true.
    bool extendStopBurst(uint32_t bytes, int64_t timeNs, int64_t withinNs, bool endedStream);

    std::vector<LogEntry> entries() const;
    void clear(); // also resets the dropped count
    uint64_t dropped() const;

private:
    mutable std::mutex m_;
    std::atomic<bool> enabled_{false};
    std::deque<LogEntry> entries_;
    std::size_t capacity_ = kDefaultCapacity;
    uint64_t dropped_ = 0;
};

} // namespace kpdsim

#endif // KPDSIM_REQUESTLOGSTORE_H
