// CtlConnection: kpdctl's connection to the electronics: Connect on the port given with --port (or the
// port of the device given with --device), or the search over COM1..COM256 (ElectronicsSearch, as KPD
// searches); then the identification registers and KPD's units settings (KPD.ini from the install
// directory, the position scale computed for the electronics as KPD computes it after its search). The port is closed when the connection goes.
#pragma once

#include "kpdctl/CtlOptions.h"
#include "kpdctl/CtlOutput.h"

#include "access/ComData.h"
#include "access/ElectronicsIdentity.h"
#include "data/DataSets.h"
#include "data/Settings.h"

#include <functional>
#include <memory>
#include <string>

namespace kpdctl {

struct CtlConnection {
    CtlConnection();
    ~CtlConnection();
    CtlConnection(const CtlConnection &) = delete;
    CtlConnection &operator=(const CtlConnection &) = delete;

    std::unique_ptr<DataSets> data; // the recordings of this run
    std::unique_ptr<ComData> com;
    std::string message; // the found message ("KPD Digital Sensor Electronics Found on COM3")
    ElectronicsIdentity identity;
    Settings settings;
};

// Connects as the options say and reads the identification and the settings. Returns ExitOk, or the
// exit code after the error has been printed (ExitNotFound for `find` when nothing answered).
int Connect(const CtlOptions &options, CtlOutput &out, CtlConnection &connection);

// Runs the event loop (worker hand-overs and termination handlers are served as they arrive) and calls
// `done` every tickMs milliseconds until it returns true.
void RunLoop(const std::function<bool()> &done, int tickMs = 10);

} // namespace kpdctl
