// The decision logic of the command scheduler: one pending command with its own interval, a timer that is
// armed by queuing and disarmed by the tick that carries the command out, and the rule that a tick waits
// while a worker thread still owns the serial port. The main window owns the real timer and the commands;
// this class only decides.
#pragma once

namespace kpd {

class CommandScheduler {
public:
    enum class Tick {
        Idle,    // timer not armed: nothing to do
        Wait,    // a worker still runs: keep the timer armed with the same interval
        Execute, // timer disarmed: carry out pending() now
    };

    // Hand-over of a command: the last queued command wins, with its own interval. Returns false (and
    // changes nothing) for a code outside 0..29 or an interval that is not positive.
    bool Queue(int code, int intervalMs);

    // One timer tick. threadRunning is the access object's ThreadRunning flag at the time of the tick.
    Tick OnTick(bool threadRunning);

    // Drop an armed command without running it (shutdown).
    void Disarm() { armed_ = false; }

    // The pending command keeps the last executed code until another is queued.
    int Pending() const { return pending_; }
    int IntervalMs() const { return intervalMs_; }
    bool Armed() const { return armed_; }

private:
    int pending_ = 0;
    int intervalMs_ = 100; // designed interval of ReadWriteTimer
    bool armed_ = false;
};

} // namespace kpd
