// The side-by-side search decides as a search port by port: the lowest port that identifies itself wins,
// the label names the ports in order, the others are closed, and with nothing found the question follows
// (Retry searches all ports). Against several simulators at once (also under ThreadSanitizer).
#include "SessionFixture.h"

#include <SimulatorPortDir.h>
#include <kpdsim/Simulator.h>
#include <senslink.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using platform::MessageResult;

struct SimSpec {
    int port, latencyMs = 0;
    bool silent = false;
    int modelCode = 6;
    bool unplug = false; // unplugged once it has answered its first handshake
};
struct Row {
    const char *name;
    std::vector<SimSpec> sims;
    int onlyPort; // KPD --port N; 0: all ports
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

class SearchOrder : public sessiontest::SessionTest, public ::testing::WithParamInterface<Row> {};

TEST_P(SearchOrder, LowestAnsweringPortWins) {
    const Row &row = GetParam();
    std::vector<std::unique_ptr<kpdsim::Simulator>> sims;
    for (const SimSpec &s : row.sims) {
        kpdsim::SimOptions o;
        o.pacing = false;
        o.latencyMs = s.latencyMs;
        o.modelCode = s.modelCode;
        auto &sim = sims.emplace_back(std::make_unique<kpdsim::Simulator>(o));
        ASSERT_TRUE(sim->start(kpdtest::SimulatorPortDir(), s.port)) << sim->lastError();
        sim->setSilent(s.silent);
    }
    std::atomic<bool> searched{false};
    std::thread unplugger([&] {
        for (std::size_t i = 0; i < sims.size(); ++i)
            while (row.sims[i].unplug && !searched && sims[i]->running()) {
                if (sims[i]->syncsAnswered() > 0) sims[i]->stop();
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
    });
    kpd::Session &session = S();
    session.States().Set(kpd::DisplayMode::Status, kpd::DataState::Stopped); // no worker needed
    platform::ScriptedDialogs dialogs;
    dialogs.Answer(row.answer);
    {
        platform::ScopedDialogs scope(dialogs);
        session.Search(row.onlyPort);
        EXPECT_TRUE(kpdtest::WaitUntil([&] { return !session.PortHeld(); }, 20000)); // a Retry's search
    }
    searched = true;
    unplugger.join();

    ASSERT_NE(session.Access(), nullptr);
    EXPECT_EQ(session.Access()->PortNumber(), row.found > 0 ? row.found : 256);
    EXPECT_EQ(session.Access()->PortOpen(), row.found > 0);
    EXPECT_EQ(session.Demo(), row.found == 0);
    EXPECT_EQ(dialogs.Messages().size(), row.found == 0 || row.answer == MessageResult::Retry ? 1u : 0u);
    // The last search's label: every port from its first in order up to the result (COM256 for none).
    std::vector<std::string> labels;
    for (const auto &p : view.progress)
        p.caption == "Searching for Electronics..." ? labels.clear() : labels.push_back(p.text);
    std::vector<std::string> expected;
    for (int n = row.onlyPort > 0 && row.answer == MessageResult::Ignore ? row.onlyPort : 1;
         n <= (row.found > 0 ? row.found : 256); ++n)
        expected.push_back("Polling COM" + std::to_string(n) + "...");
    if (row.found > 0) expected.push_back("KPD Digital Sensor Electronics Found on COM" + std::to_string(row.found));
    EXPECT_EQ(labels, expected);
    for (std::size_t i = 0; i < sims.size(); ++i) {
        const SimSpec &s = row.sims[i];
        if (s.port == row.found) continue;
        int timeoutMs = 0, baud = 0;
        EXPECT_NE(GetPortConfig(s.port, &timeoutMs, &baud), 0) << "COM" << s.port << " left open";
        if (row.onlyPort > 0 && row.answer == MessageResult::Ignore) {
            EXPECT_EQ(sims[i]->bytesReceived(), 0u); // never polled
        }
        if (s.port > row.found && row.found > 0 && !s.silent && row.onlyPort == 0) {
            EXPECT_GE(sims[i]->requestsAnswered(), 4u); // identified itself (first), closed without being taken
        }
        EXPECT_FALSE(s.unplug && sims[i]->running()) << "not unplugged during the search";
    }
    if (ComData *a = session.Access()) a->ClosePortIfOpen();
}

INSTANTIATE_TEST_SUITE_P(Rows, SearchOrder, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row> &info) { return std::string(info.param.name); });

} // namespace
