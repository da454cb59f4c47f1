// Helpers shared by the application tests.
#pragma once

#include "EventLoopWait.h"
#include "RecordingDataControl.h"
#include "access/ComData.h"
#include "kpdsim/Simulator.h"
#include "platform/ScriptedDialogs.h"
#include "senslink.h"
#include "session/StatusController.h"
#include "widgets/ScreenInfo.h"
#include "windows/MainForm.h"
#include "windows/TStartup.h"
#include "workers/DataControl.h"
#include "workers/StatusMonitor.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace apptest {

using kpdtest::RecordingDataControl;

inline std::string PortDir() {
    return std::getenv("SENSLINK_PORT_DIR");
}
inline std::string InstallDir() {
    return std::getenv("KPD_INSTALL_DIR");
}

using kpdtest::WaitUntil;

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
        form->session().waitMs = [this](int ms) { waits.push_back(ms); };
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

// Asks every worker to end and waits until none exists and no port step holds the port.
inline bool StopWorkers(TMainForm &f, int timeoutMs = 15000) {
    f.session().RestartTimer()->stop();
    if (ComData *a = f.session().Access()) a->StopRequest = true;
    return WaitUntil([&] { return !f.session().WorkerExists() && !f.session().PortHeld(); }, timeoutMs);
}

// Simulated electronics on COM3 of the private port directory, for tests that need a connected window.
// Stops the window's workers and closes the port before the electronics go.
class SimulatedElectronics {
public:
    static constexpr int kPort = 3;
    explicit SimulatedElectronics(kpdsim::SimOptions o = {}) {
        o.pacing = false;
        sim_ = std::make_unique<kpdsim::Simulator>(o);
        started_ = sim_->start(PortDir(), kPort);
    }
    ~SimulatedElectronics() {
        ClosePort(kPort);
        sim_.reset();
    }
    bool Started() const { return started_; }
    std::string Error() const { return sim_->lastError(); }
    kpdsim::Simulator &operator*() { return *sim_; }
    kpdsim::Simulator *operator->() { return sim_.get(); }

private:
    std::unique_ptr<kpdsim::Simulator> sim_;
    bool started_ = false;
};

// Ends the window's link to the electronics: no worker, the port closed (the library keeps a port open
// after its object is discarded, so the next simulator on the same number is reached through a fresh open).
inline void Disconnect(TMainForm &f) {
    StopWorkers(f);
    if (ComData *a = f.session().Access()) a->ClosePortIfOpen();
}

// Searches with the status display stopped (no worker starts), answering nothing: the electronics must be
// there. Returns whether the window is connected.
inline bool ConnectStopped(TMainForm &f) {
    f.session().States().Set(kpd::DisplayMode::Status, kpd::DataState::Stopped);
    f.session().Search();
    return f.session().Access() && f.session().Access()->PortOpen() && !f.session().Demo();
}

// Searches over a port directory without electronics and answers "Cannot Detect Electronics" with Ignore:
// demo mode with a never-opened access object on COM256.
inline void SearchNothingIgnore(TMainForm &f) {
    platform::ScriptedDialogs d;
    d.Answer(platform::MessageResult::Ignore);
    platform::ScopedDialogs scope(d);
    f.session().Search();
}

} // namespace apptest
