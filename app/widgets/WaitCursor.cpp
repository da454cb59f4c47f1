#include "widgets/WaitCursor.h"

#include <QApplication>
#include <QCursor>

namespace platform {
namespace {

bool shown = false; // user-interface thread only
int switchedOn = 0;

bool HaveGuiApplication() {
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

} // namespace

void SetHourglass(bool on) {
    if (on == shown) return;
    shown = on;
    if (on) {
        ++switchedOn;
        if (HaveGuiApplication()) QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else if (HaveGuiApplication()) {
        QApplication::restoreOverrideCursor();
    }
}

bool HourglassShown() {
    return shown;
}

int HourglassCount() {
    return switchedOn;
}

} // namespace platform
