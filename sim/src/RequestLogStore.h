// The store behind the simulator's request log: the electronics' thread adds, any thread reads.
#ifndef KPDSIM_REQUESTLOGSTORE_H
#define KPDSIM_REQUESTLOGSTORE_H

#include "BoundedLog.h"
#include "kpdsim/RequestLog.h"

#include <cstdint>

namespace kpdsim {

class RequestLogStore : public BoundedLog<LogEntry> {
public:
    // When the newest entry is a stop burst whose last byte came at most withinNs before timeNs, counts
    // the bytes into it (and marks it as the end of a stream if these bytes ended one) and returns true.
    bool extendStopBurst(uint32_t bytes, int64_t timeNs, int64_t withinNs, bool endedStream) {
        return changeNewest([&](LogEntry &last) {
            if (last.kind != LogKind::StopBurst || timeNs - last.timeNs > withinNs) return false;
            last.count += bytes;
            last.timeNs = timeNs;
            last.stoppedStream = last.stoppedStream || endedStream;
            return true;
        });
    }
};

} // namespace kpdsim

#endif // KPDSIM_REQUESTLOGSTORE_H
