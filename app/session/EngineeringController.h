// EngineeringController: display mode 4, the engineering display. It owns the read-all worker (every
// register of the electronics, pass after pass) and is its sink: the newest pass is formatted and handed
// to the window at the window's pace. It also keeps the address word of the last write entered, which the
// scheduler's engineering write sends.
#pragma once

#include "session/ModeController.h"
#include "workers/ReadAllSink.h"

#include <cstdint>
#include <functional>
#include <memory>

class ComData;

namespace kpd {

class ReadAllAcquisition;
class Session;
class SessionView;

class EngineeringController : public ModeController, public ReadAllSink {
public:
    EngineeringController(Session &session, SessionView &view);
    ~EngineeringController() override;

    DisplayMode Mode() const override { return DisplayMode::Engineering; }
    // Shows the engineering display (emptied until the first pass of this visit).
    void Layout() override;
    // Starts the read-all worker (the mode has no data states). Without electronics nothing starts.
    void SetDataControl(DataState state) override;
    bool WorkerActive() const override;

    // The access object to work on (a search replaces it while no worker exists).
    void SetComData(ComData *com);
    ReadAllAcquisition &Acquisition() { return *acquisition_; }

    // The address word of the last accepted write entry.
    uint32_t AddressWord() const { return addressWord_; }
    void SetAddressWord(uint32_t word) { addressWord_ = word; }

    // ReadAllSink
    void PassReady(const ReadAllPass &pass) override;
    void ReportLinkFailure() override;

    // Started instead of the own worker when set (tests).
    std::function<void()> startReadAll;

private:
    Session &session_;
    SessionView &view_;
    std::unique_ptr<ReadAllAcquisition> acquisition_;
    uint32_t addressWord_ = 0;
    uint64_t shownPass_ = 0; // number of the pass the window shows
};

} // namespace kpd
