// ModalWait: the time a user takes to read a modal box or dialog before answering it, spent the way the
// real box spends it: in the box's own event loop, so that timers, the workers' hand-overs and the
// electronics' faults go on meanwhile. While it runs, the main window cannot be used (the box is modal), so
// the soak's user does nothing.
#pragma once

#include <QEventLoop>
#include <QTimer>

namespace soak {

class ModalWait {
public:
    static void Spend(int ms) {
        ++depth_;
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
        --depth_;
    }
    // A modal box or dialog is waiting for its answer.
    static bool Open() { return depth_ > 0; }

private:
    static inline int depth_ = 0;
};

} // namespace soak
