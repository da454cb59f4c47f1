// Helpers shared by the application tests.
#pragma once

#include "workers/DataControl.h"
#include "windows/MainForm.h"
#include "windows/TStartup.h"
#include "widgets/ScreenInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace apptest {

// A data control that records every SetDataControl call (set, command) instead of starting workers.
struct RecordingDataControl : kpd::DataControl {
    std::vector<std::pair<int, int>> calls;
    void SetDataControl(int set, int command) override { calls.emplace_back(set, command); }
};

inline std::string PortDir() {
    return std::getenv("SENSLINK_PORT_DIR");
}
inline std::string InstallDir() {
    return std::getenv("KPD_INSTALL_DIR");
}

// Processes events until the condition holds or the time-out has passed; returns the condition.
inline bool WaitUntil(const std::function<bool()> &condition, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Removes the settings files of the shared install directory.
inline void ClearInstallDir() {
    QDir d(QString::fromStdString(InstallDir()));
    d.remove("KPD.ini");
    d.remove("grating2.ini");
}

// A main window with its searching window, on a screen of the given size, whose pauses are recorded
// instead of waited and whose modal dialogs are answered by a function.
struct Harness {
    explicit Harness(platform::ScreenMetrics screen = {1024, 768, 96}) : override(screen) {
        form = std::make_unique<TMainForm>();
        form->waitMs = [this](int ms) { waits.push_back(ms); };
        form->execDialog = [this](QDialog *d) {
            modalShown.push_back(d);
            return modalResult;
        };
        form->Startup = new TStartup(form.get());
    }
    ~Harness() { form.reset(); }

    platform::ScopedScreenOverride override;
    std::unique_ptr<TMainForm> form;
    std::vector<int> waits;
    std::vector<QDialog *> modalShown;
    int modalResult = 0;
};

} // namespace apptest
