// The search probes the ports side by side and still decides as a search port by port would: the lowest
// port whose electronics identify themselves wins, a port that does not answer or fails identification
// is passed, every other port is closed again, the label names the ports in order, and with nothing found
// the "Cannot Detect Electronics" question follows (Retry searches all ports). Against several simulated
// electronics at once (run under ThreadSanitizer too).
#include "RecordingView.h"

#include "access/RegisterMap.h"
#include "platform/ScriptedDialogs.h"
#include "session/Session.h"

#include <EventLoopWait.h>
#include <SimulatorPortDir.h>
#include <kpdsim/Simulator.h>
#include <senslink.h>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace {

using platform::MessageButtons;
using platform::MessageResult;

struct SimSpec {
    int port;
    int latencyMs = 0;
    bool silent = false;
    int modelCode = 6;
    bool unplug = false; // unplugged (its link goes) once it has answered its first handshake
};

struct Row {
    const char *name;
    std::vector<SimSpec> sims;
    int onlyPort;         // KPD --port N; 0: all ports
    MessageResult answer; // to "Cannot Detect Electronics"
    int found;            // the port kept; 0: none (demo mode)
};

const Row kRows[] = {
    {"LowestWinsWhileAHigherAnswersFirst", {{2, 20}, {5}}, 0, MessageResult::Ignore, 2},
    {"SilentBelowLiveAbove", {{1, 0, true}, {4}}, 0, MessageResult::Ignore, 4},
    {"ProcessorAnswersButIdentificationFails", {{2, 0, false, 7}, {6}}, 0, MessageResult::Ignore, 6},
    {"EveryPortSilent", {{1, 0, true}, {2, 0, true}}, 0, MessageResult::Ignore, 0},
    {"UnpluggedDuringTheSearch", {{2, 20, false, 6, true}, {4}}, 0, MessageResult::Ignore, 4},
    {"PortOptionAlone", {{2}, {5}}, 5, MessageResult::Ignore, 5},
    {"PortOptionSilentThenRetrySearchesAll", {{3, 0, true}, {6}}, 3, MessageResult::Retry, 6},
};

void PrintTo(const Row &row, std::ostream *os) {
    *os << row.name;
}

// When the electronics answered the last read of Connect (the Settings register); 0 if they did not.
int64_t SettingsReadNs(const kpdsim::Simulator &sim) {
    for (const kpdsim::LogEntry &e : sim.requestLog())
        if (e.isRegisterRead() && e.reg() == reg::Settings) return e.timeNs;
    return 0;
}

class SearchOrder : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        session.waitMs = [](int) {};
        session.States().Set(kpd::DisplayMode::Status, kpd::DataState::Stopped); // no worker needed
    }
    void TearDown() override {
        if (ComData *a = session.Access()) a->ClosePortIfOpen();
    }
    QTemporaryDir install;
    sessiontest::RecordingView view;
    kpd::Session session{view, install.path().toStdString()};
    platform::ScriptedDialogs dialogs;
};

TEST_P(SearchOrder, LowestAnsweringPortWins) {
    const Row &row = GetParam();
    std::vector<std::unique_ptr<kpdsim::Simulator>> sims;
    for (const SimSpec &s : row.sims) {
        kpdsim::SimOptions o;
        o.pacing = false;
        o.speed = 0.0;
        o.latencyMs = s.latencyMs;
        o.modelCode = s.modelCode;
        o.requestLog = true;
        sims.push_back(std::make_unique<kpdsim::Simulator>(o));
        ASSERT_TRUE(sims.back()->start(kpdtest::SimulatorPortDir(), s.port)) << sims.back()->lastError();
        sims.back()->setSilent(s.silent);
    }
    std::atomic<bool> searched{false};
    std::thread unplugger([&] {
        for (std::size_t i = 0; i < row.sims.size(); ++i)
            while (row.sims[i].unplug && !searched && sims[i]->running())
                if (sims[i]->syncsAnswered() > 0)
                    sims[i]->stop();
                else
                    std::this_thread::sleep_for(std::chrono::microseconds(200));
    });

    dialogs.Answer(row.answer);
    {
        platform::ScopedDialogs scope(dialogs);
        session.Search(row.onlyPort);
        if (row.answer == MessageResult::Retry) { // RestartTimer's tick searches all ports
            EXPECT_TRUE(kpdtest::WaitUntil([&] { return !session.PortHeld(); }, 20000));
        }
    }
    searched = true;
    unplugger.join();

    ASSERT_NE(session.Access(), nullptr);
    if (row.found > 0) {
        EXPECT_EQ(session.Access()->PortNumber(), row.found);
        EXPECT_TRUE(session.Access()->PortOpen());
        EXPECT_FALSE(session.Demo());
    } else {
        EXPECT_EQ(session.Access()->PortNumber(), 256);
        EXPECT_FALSE(session.Access()->PortOpen());
        EXPECT_TRUE(session.Demo());
    }
    const bool asked = row.found == 0 || row.answer == MessageResult::Retry;
    ASSERT_EQ(dialogs.Messages().size(), asked ? 1u : 0u);
    if (asked) {
        EXPECT_EQ(dialogs.Messages()[0].buttons, MessageButtons::RetryIgnore);
    }

    // The last search's label: every port from its first in order, up to the result (COM256 when none),
    // then the found message.
    std::size_t at = view.progress.size();
    while (at > 0 && view.progress[at - 1].caption != "Searching for Electronics...")
        --at;
    const int first = row.onlyPort > 0 && row.answer != MessageResult::Retry ? row.onlyPort : 1;
    const int last = row.found > 0 ? row.found : 256;
    for (int n = first; n <= last; ++n, ++at) {
        ASSERT_LT(at, view.progress.size()) << n;
        EXPECT_EQ(view.progress[at].text, "Polling COM" + std::to_string(n) + "...");
    }
    if (row.found > 0) {
        ASSERT_LT(at, view.progress.size());
        EXPECT_EQ(view.progress[at].text, "KPD Digital Sensor Electronics Found on COM" + std::to_string(row.found));
    }

    const int64_t winnerSettingsNs = [&]() -> int64_t {
        for (std::size_t i = 0; i < row.sims.size(); ++i)
            if (row.sims[i].port == row.found) return SettingsReadNs(*sims[i]);
        return 0;
    }();
    for (std::size_t i = 0; i < row.sims.size(); ++i) {
        const SimSpec &s = row.sims[i];
        if (s.port == row.found) continue;
        int timeoutMs = 0;
        int baud = 0;
        EXPECT_NE(GetPortConfig(s.port, &timeoutMs, &baud), 0) << "COM" << s.port << " left open";
        if (row.onlyPort > 0 && row.answer == MessageResult::Ignore) { // never polled
            EXPECT_EQ(sims[i]->bytesReceived(), 0u) << "COM" << s.port;
        }
        if (row.found > 0 && s.port > row.found && !s.silent && row.onlyPort == 0) {
            // A higher port that answered first was connected, then closed without being taken.
            const int64_t settingsNs = SettingsReadNs(*sims[i]);
            EXPECT_GT(settingsNs, 0) << "COM" << s.port;
            EXPECT_LT(settingsNs, winnerSettingsNs) << "COM" << s.port << " did not answer first";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SearchOrder, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row> &info) { return std::string(info.param.name); });

} // namespace
