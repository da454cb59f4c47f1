#include "FaultSoak.h"

#include "program/ProgramWindows.h"

#include "ModalWait.h"

#include "access/ComData.h"
#include "session/PlotController.h"
#include "session/Session.h"
#include "session/StatusController.h"
#include "windows/MainForm.h"
#include "windows/TAboutBoxForm.h"
#include "windows/TAlarmHistoryForm.h"
#include "windows/TEditDialogForm.h"
#include "windows/TEncoderSetupForm.h"
#include "windows/TEngineeringDisplay.h"
#include "windows/TInfoForm.h"
#include "windows/TPlotSettingsForm.h"
#include "windows/TRadioDialog.h"
#include "windows/TStartup.h"
#include "workers/LissajousThread.h"
#include "workers/MainThread.h"
#include "workers/PositionThread.h"
#include "workers/StatusMonitor.h"
#include "workers/StreamAcquisition.h"

#include <QCoreApplication>
#include <QToolButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace soak {

using kpd::DataState;
using kpd::DisplayMode;

namespace {

constexpr int kPort = 3;
constexpr int kHangLimitMs = 5000;
constexpr int kTickMs = 50;
// Without faults for this long, a connected tool that is live must be acquiring again.
constexpr int64_t kRecoveryMs = 30000;
// A plot recording live for this long is stopped (so that its records are checked now and then).
constexpr int64_t kLongRecordingMs = 25000;
// In demo mode for this long, the soak asks for a search.
constexpr int64_t kDemoMs = 8000;

std::vector<uint8_t> ListOf(const std::array<uint8_t, 4> &regs) {
    return {regs.begin(), regs.end()};
}

} // namespace

FaultSoak::FaultSoak(const SoakOptions &options, std::string portDir, std::filesystem::path folder)
    : options_(options), portDir_(std::move(portDir)), folder_(std::move(folder)), rng_(options.seed),
      encoderCheck_("encoder signal recording", ListOf(kpd::LissajousThread::Registers)),
      positionCheck_("signal plot recording", ListOf(kpd::PositionThread::Registers)) {}

FaultSoak::~FaultSoak() = default;

bool FaultSoak::Start() {
    kpdsim::SimOptions o;
    o.pacing = true; // the real line's pace
    o.seed = options_.seed;
    o.recordLog = true;
    o.recordLogCapacity = 200000; // drained every tick; this is only a bound
    sim_ = std::make_unique<kpdsim::Simulator>(o);
    if (!sim_->start(portDir_, kPort)) {
        std::fprintf(stderr, "fault soak: the simulated electronics cannot start: %s\n", sim_->lastError().c_str());
        return false;
    }

    dialogs_ = std::make_unique<SoakDialogs>(rng_, folder_, figures_, [this](const std::string &s) { Fail(s); });
    dialogs_->onLinkFailureAsked = [this] {
        if (linkFailureOpen_) return; // asked again: the same failure
        linkFailureOpen_ = true;
        progressAtFailure_ = Progress();
        ++figures_.linkFailureEpisodes;
        if (options_.verbose) std::printf("%8.1f link failure asked\n", clock_.elapsed() / 1000.0);
    };
    platform::Dialogs::SetDefault(dialogs_.get()); // nothing real may ever show
    dialogScope_ = std::make_unique<platform::ScopedDialogs>(*dialogs_);
    modal_ = std::make_unique<ModalDialogs>(rng_, figures_);
    faults_ = std::make_unique<FaultSchedule>(*sim_, rng_, figures_);

    kpdsim::Simulator *sim = sim_.get();
    watchdog_ = std::make_unique<Watchdog>(std::chrono::milliseconds(kHangLimitMs), [sim] {
        char s[256];
        std::snprintf(s, sizeof s,
                      "electronics: %llu requests answered, %llu syncs, %llu bad frames, %llu records sent, "
                      "streaming %s, %llu resets",
                      static_cast<unsigned long long>(sim->requestsAnswered()),
                      static_cast<unsigned long long>(sim->syncsAnswered()),
                      static_cast<unsigned long long>(sim->badFrames()),
                      static_cast<unsigned long long>(sim->recordsSent()), sim->streaming() ? "yes" : "no",
                      static_cast<unsigned long long>(sim->resets()));
        return std::string(s);
    });
    heartbeat_ = new QTimer(this);
    heartbeat_->setInterval(100);
    connect(heartbeat_, &QTimer::timeout, this, [this] { watchdog_->Beat(); });
    heartbeat_->start();
    clock_.start();
    watchdog_->SetState("building the windows and the first search");

    // The program's windows, built as the program entry builds them: the main window, the searching
    // window (whose construction shows the main window and runs the first search), the other windows.
    auto *MainForm = new TMainForm;
    form_ = MainForm;
    dialogs_->SetForm(MainForm);
    // The program's designed pauses, as the program makes them (ComData::WaitMs), told to the watchdog.
    MainForm->session().waitMs = [this](int ms) {
        if (watchdog_) watchdog_->PauseBegin();
        ComData::WaitMs(ms);
        if (watchdog_) watchdog_->PauseEnd();
    };
    MainForm->execDialog = [this](QDialog *d) { return (*modal_)(d); };
    MainForm->Startup = new TStartup(MainForm, [MainForm](TStartup *startup) {
        MainForm->Startup = startup;
        MainForm->show();
        MainForm->session().Search();
    });
    kpd::CreateDialogs(MainForm);

    driver_ = std::make_unique<ActionDriver>(*MainForm, rng_, figures_);
    tick_ = new QTimer(this);
    tick_->setInterval(kTickMs);
    connect(tick_, &QTimer::timeout, this, [this] { Tick(); });
    tick_->start();
    return true;
}

uint64_t FaultSoak::Progress() const {
    kpd::Session &s = form_->session();
    uint64_t p = s.Status().Monitor().Stats().samples.load();
    for (int m = 1; m <= 3; ++m)
        p += s.Plot(static_cast<DisplayMode>(m)).Acquisition().Stats().records.load();
    return p;
}

bool FaultSoak::StreamWorkerExists() const {
    kpd::Session &s = form_->session();
    for (int m = 1; m <= 3; ++m)
        if (s.Plot(static_cast<DisplayMode>(m)).WorkerActive()) return true;
    return false;
}

std::string FaultSoak::State() const {
    const kpd::Session &s = form_->session();
    const int mode = kpd::Index(s.Mode());
    char text[512];
    std::snprintf(text, sizeof text,
                  "t=%.1f s, action #%llu \"%s\", mode %d (data state %d), faults: %s, demo %s, worker %s, "
                  "port held %s, command %d pending %s",
                  clock_.elapsed() / 1000.0, static_cast<unsigned long long>(actionsDone_), lastAction_.c_str(),
                  mode, kpd::HasDataSet(s.Mode()) ? static_cast<int>(s.StateOf(s.Mode())) : -1,
                  faults_->Describe().c_str(), s.Demo() ? "yes" : "no", s.WorkerExists() ? "yes" : "no",
                  s.PortHeld() ? "yes" : "no", s.PendingCommand(), s.Scheduler().Armed() ? "yes" : "no");
    return text;
}

void FaultSoak::Tick() {
    if (inTick_) return; // a nested event loop of an action
    inTick_ = true;
    const int64_t now = clock_.elapsed();
    DrainRecords();
    if (!ending_) {
        const std::string before = faults_->Describe();
        faults_->Tick(now);
        if (options_.verbose && faults_->Describe() != before)
            std::printf("%8.1f faults: %s\n", now / 1000.0, faults_->Describe().c_str());
    }
    TrackProgress(now);
    if (!StreamWorkerExists()) {
        CheckRecords(EncoderSignalSet);
        CheckRecords(PositionVelocitySet);
    }
    if (!ending_) {
        // While a modal box or dialog waits for its answer the main window cannot be used.
        if (now >= nextActionMs_ && !ModalWait::Open()) Act(now);
        if (now >= static_cast<int64_t>(options_.seconds * 1000)) {
            ending_ = true;
            endingSinceMs_ = now;
            faults_->StopAll(now);
            if (options_.verbose) std::printf("%8.1f ending: faults off\n", now / 1000.0);
        }
    } else if (!ModalWait::Open()) {
        EndStep(now);
    }
    watchdog_->SetState(State());
    inTick_ = false;
}

void FaultSoak::DrainRecords() {
    const std::vector<kpdsim::SentRecord> sent = sim_->takeRecordLog();
    if (!sent.empty()) {
        encoderCheck_.AddSent(sent);
        positionCheck_.AddSent(sent);
    }
    if (sim_->recordLogDropped() > 0)
        Fail("the electronics' record log overflowed: records the tool received can no longer be checked");
}

void FaultSoak::CheckRecords(int set) {
    kpd::Session &s = form_->session();
    const uint64_t total = s.Plot(static_cast<DisplayMode>(set)).Acquisition().Stats().records.load();
    const uint64_t added = total - checkedTotal_[set];
    if (added == 0) return;
    checkedTotal_[set] = total;
    DrainRecords(); // every record the tool has was logged before it went to the line
    const DataSetControl &c = s.Data().Control(set);
    if (c.resetOnNextLiveStart.load()) { // a load has replaced them
        figures_.recordsUnchecked += added;
        return;
    }
    const int32_t capacity = DataSets::Capacity(set);
    const int32_t count = c.count.load();
    // Once the ring has wrapped, the slot at count is the oldest one, and a record the tool dropped may
    // have been written there: it is not a kept record (a save leaves it out too).
    const int64_t ringSize = c.wrapped.load() ? capacity - 1 : count;
    const int64_t n = std::min<int64_t>(static_cast<int64_t>(added), ringSize);
    figures_.recordsUnchecked += added - static_cast<uint64_t>(n);
    std::vector<Words> recorded;
    recorded.reserve(static_cast<std::size_t>(n));
    for (int64_t k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(((count - n + k) % capacity + capacity) % capacity);
        if (set == EncoderSignalSet) {
            const EncoderSignalDataSet &d = s.Data().EncoderSignal();
            recorded.push_back({d.w1[i], d.w2[i], d.w3[i], d.w4[i]});
        } else {
            const PositionVelocityDataSet &d = s.Data().PositionVelocity();
            const auto position = static_cast<uint32_t>(d.position[i]);
            const auto high = static_cast<uint16_t>(position >> 16);
            if (d.velocity[i] != static_cast<float>(static_cast<int16_t>(high)) || d.position64[i] < 0 ||
                d.position64[i] > 0xFFFF || d.magnitude[i] < 0 || d.magnitude[i] > 0xFFFF) {
                char text[200];
                std::snprintf(text, sizeof text,
                              "signal plot record %lld of %lld is not made of the words of one record: position "
                              "%d, velocity %g, Position64 %d, magnitude %d",
                              static_cast<long long>(k + 1), static_cast<long long>(n), d.position[i],
                              double(d.velocity[i]), d.position64[i], d.magnitude[i]);
                Fail(text);
            }
            recorded.push_back({static_cast<uint16_t>(position & 0xFFFF), high,
                                static_cast<uint16_t>(d.position64[i]), static_cast<uint16_t>(d.magnitude[i])});
        }
    }
    RecordCheck &check = set == EncoderSignalSet ? encoderCheck_ : positionCheck_;
    const RecordCheck::Result r = check.Check(recorded);
    ++figures_.recordChecks;
    figures_.recordsChecked += r.matched;
    figures_.recordsExcused += r.excused;
    if (options_.verbose)
        std::printf("%8.1f checked %llu records of the %s (%llu excused)\n", clock_.elapsed() / 1000.0,
                    static_cast<unsigned long long>(r.matched), check.Name().c_str(),
                    static_cast<unsigned long long>(r.excused));
    if (!r.ok) Fail("a recording holds a record the electronics did not send:\n" + r.problem);
}

void FaultSoak::TrackProgress(int64_t now) {
    kpd::Session &s = form_->session();
    const uint64_t p = Progress();
    if (p != lastProgress_) {
        lastProgress_ = p;
        lastProgressMs_ = now;
    }
    const bool connected = !s.Demo() && s.Access() && s.Access()->PortOpen() && !s.PortHeld();
    if (s.Demo()) {
        if (demoSinceMs_ < 0) demoSinceMs_ = now;
    } else {
        demoSinceMs_ = -1;
    }
    const int mode = kpd::Index(s.Mode());
    const bool plotLive = mode >= 1 && mode <= 3 && s.StateOf(s.Mode()) == DataState::Live &&
                          s.Plot(s.Mode()).WorkerActive();
    if (plotLive) {
        if (liveMode_ != mode) {
            liveMode_ = mode;
            liveSinceMs_ = now;
        }
    } else {
        liveMode_ = -1;
    }
    // Recovered: connected again, and acquiring again where the mode is live.
    const bool live = kpd::HasDataSet(s.Mode()) && s.StateOf(s.Mode()) == DataState::Live;
    if (linkFailureOpen_ && connected && (p > progressAtFailure_ || !live)) {
        linkFailureOpen_ = false;
        ++figures_.linkFailuresRecovered;
        if (options_.verbose) std::printf("%8.1f link failure recovered\n", now / 1000.0);
    }
    // A queued command runs once the port is free; without faults it never waits long.
    if (!s.Scheduler().Armed()) armedSinceMs_ = -1;
    else if (armedSinceMs_ < 0) armedSinceMs_ = now;
    if (armedSinceMs_ >= 0 && now - armedSinceMs_ > kRecoveryMs && faults_->QuietForMs(now) > kRecoveryMs)
        Fail("command " + std::to_string(s.PendingCommand()) + " has waited " +
             std::to_string((now - armedSinceMs_) / 1000) + " s to run, and no fault has been on for " +
             std::to_string(faults_->QuietForMs(now) / 1000) + " s");
    // Recovery: long enough without faults, a connected tool that shows live data acquires.
    const bool shouldAcquire = connected && !ending_ && kpd::HasDataSet(s.Mode()) &&
                               s.StateOf(s.Mode()) == DataState::Live && !s.Scheduler().Armed() &&
                               faults_->QuietForMs(now) > kRecoveryMs;
    if (shouldAcquire && now - lastProgressMs_ > kRecoveryMs)
        Fail("the tool is connected and live, and no fault has been on for " +
             std::to_string(faults_->QuietForMs(now) / 1000) + " s, but it has acquired nothing for " +
             std::to_string((now - lastProgressMs_) / 1000) + " s");
}

void FaultSoak::Act(int64_t now) {
    kpd::Session &s = form_->session();
    std::string name;
    if (s.Demo() && demoSinceMs_ >= 0 && now - demoSinceMs_ > kDemoMs) {
        if (driver_->Do("search")) {
            name = "search";
            ++figures_.searches;
        }
        demoSinceMs_ = now;
    } else if (liveMode_ >= 1 && now - liveSinceMs_ > kLongRecordingMs) {
        if (driver_->Do("stop")) name = "stop";
        liveSinceMs_ = now;
    } else {
        name = driver_->Act();
    }
    if (!name.empty()) {
        ++actionsDone_;
        lastAction_ = name;
        if (options_.verbose) std::printf("%8.1f %s (mode %d)\n", now / 1000.0, name.c_str(), kpd::Index(s.Mode()));
    }
    nextActionMs_ = now + Uniform(150, 1200);
}

void FaultSoak::EndStep(int64_t now) {
    kpd::Session &s = form_->session();
    const int64_t since = now - endingSinceMs_;
    switch (endingStage_) {
    case 0: // bring the tool to rest: out of demo mode, engineering display closed, recording stopped
        if (s.Demo()) {
            driver_->Do("search");
            ++figures_.searches;
        }
        if (form_->EngineeringDisplay && form_->EngineeringDisplay->isVisible()) driver_->Do("engineering close");
        endingStage_ = 1;
        break;
    case 1:
        if (s.PortHeld() || s.Scheduler().Armed() || linkFailureOpen_) {
            if (linkFailureOpen_ && since > 45000)
                Fail("the tool has not recovered from the last link failure within 45 s after the faults stopped");
            if (since > 60000) Fail("the tool has not come to rest within 60 s after the faults stopped");
            if (s.Demo() && since > 10000 && since % 10000 < kTickMs) driver_->Do("search");
            break;
        }
        StopRecording();
        endingStage_ = 2;
        break;
    case 2:
        if (StreamWorkerExists() || s.PortHeld() || s.Scheduler().Armed()) {
            if (since > 60000) Fail("the tool has not stopped recording within 60 s after the faults stopped");
            if (!s.PortHeld() && !s.Scheduler().Armed() && since % 5000 < kTickMs) StopRecording();
            break;
        }
        CheckRecords(EncoderSignalSet);
        CheckRecords(PositionVelocitySet);
        // The program's own timed end (the same call as its --quit-after).
        dialogs_->SetEnding(true);
        s.ShutDownNow();
        endingStage_ = 3;
        break;
    default:
        if (since > 90000) Fail("the program has not shut down");
        break;
    }
}

void FaultSoak::StopRecording() {
    kpd::Session &s = form_->session();
    if (!kpd::HasDataSet(s.Mode()) || s.Mode() == DisplayMode::Status || s.StateOf(s.Mode()) != DataState::Live)
        return;
    if (driver_->Do("stop")) return;
    // The Stop button cannot be pressed although the display is live: noted, and its entry point used.
    std::fprintf(stderr, "soak: at the end, mode %d is live but the Stop button is %s and %s\n",
                 kpd::Index(s.Mode()), form_->StopButton->isVisible() ? "shown" : "hidden",
                 form_->StopButton->isEnabled() ? "enabled" : "disabled");
    ++figures_.actions["stop at the end through the button's entry point"];
    s.Stop();
}

int FaultSoak::Finish() {
    tick_->stop();
    heartbeat_->stop();
    CollectCounters();
    const int64_t longestPause = watchdog_->LongestGapMs();
    const int64_t longestUnpaused = watchdog_->LongestUnpausedGapMs();
    watchdog_.reset(); // the windows go without an event loop, as after the program's message loop
    driver_.reset();
    delete form_;
    form_ = nullptr;
    dialogScope_.reset();
    platform::Dialogs::SetDefault(nullptr);
    sim_->stop();
    figures_.Print(stdout);
    std::printf("longest pause of the user-interface thread: %lld ms (%lld ms outside designed pauses)\n",
                static_cast<long long>(longestPause), static_cast<long long>(longestUnpaused));
    std::printf("fault soak passed (seed %llu)\n", static_cast<unsigned long long>(options_.seed));
    std::fflush(stdout);
    return 0;
}

void FaultSoak::CollectCounters() {
    figures_.seconds = clock_.elapsed() / 1000.0;
    if (sim_) figures_.recordsSent = sim_->recordsSent();
    if (!form_) return;
    figures_.statusSamples = form_->session().Status().Monitor().Stats().samples.load();
    figures_.streamRecords = 0;
    for (int m = 1; m <= 3; ++m)
        figures_.streamRecords +=
            form_->session().Plot(static_cast<DisplayMode>(m)).Acquisition().Stats().records.load();
}

void FaultSoak::Fail(const std::string &what) {
    CollectCounters();
    std::fflush(stdout);
    std::fprintf(stderr, "\nFAULT SOAK FAILED after %.1f s (seed %llu; replay with --seed %llu):\n%s\n",
                 figures_.seconds, static_cast<unsigned long long>(options_.seed),
                 static_cast<unsigned long long>(options_.seed), what.c_str());
    if (form_ && faults_) std::fprintf(stderr, "soak state: %s\n", State().c_str());
    figures_.Print(stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace soak
