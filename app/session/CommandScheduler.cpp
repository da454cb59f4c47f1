#include "session/CommandScheduler.h"

#include "session/CommandCodes.h"

namespace kpd {

bool CommandScheduler::Queue(int code, int intervalMs) {
    if (code < kFirstCommand || code > kLastCommand || intervalMs <= 0) return false;
    pending_ = code;
    intervalMs_ = intervalMs;
    armed_ = true;
    return true;
}

CommandScheduler::Tick CommandScheduler::OnTick(bool threadRunning) {
    if (!armed_) return Tick::Idle;
    if (threadRunning) return Tick::Wait;
    armed_ = false;
    return Tick::Execute;
}

} // namespace kpd
