// kpdctl record against the simulator: each display mode's data written in KPD's format and loaded back
// by KPD's own data-file loader, the progress line on a terminal, and Ctrl+C: the stream stopped as KPD
// stops it and no file (nor a temporary one) left behind.
#include "CtlFixture.h"

#include "data/DataSets.h"

#include <QJsonObject>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;
using ctltest::CtlFixture;
using ctltest::CtlProcess;
using ctltest::RunCtl;

std::vector<std::string> FilesIn(const std::string &dir) {
    std::vector<std::string> names;
    for (const auto &e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Contents(const std::string &file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Kind {
    const char *name;
    int set;
    const char *file;
};

void PrintTo(const Kind &kind, std::ostream *os) {
    *os << kind.name;
}

class RecordTest : public CtlFixture, public ::testing::WithParamInterface<Kind> {};

TEST_P(RecordTest, FileLoadsBackWithKpdsLoader) {
    const Kind kind = GetParam();
    StartSimulator(22);
    const std::string file = File(kind.file);
    const auto r = RunCtl({"record", kind.name, "--seconds", "1", "-o", file, "--port", "22", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_EQ(r.json.size(), 1u) << r.out;
    const QJsonObject &done = r.json.front();
    EXPECT_EQ(done["type"].toString(), "recorded");
    EXPECT_EQ(done["kind"].toString(), kind.name);
    EXPECT_EQ(done["file"].toString().toStdString(), file);
    EXPECT_GE(done["seconds"].toDouble(), 1.0);
    const int records = done["records"].toInt();
    EXPECT_GT(records, 5);

    DataSets loaded;
    const DataFileLoadResult result = loaded.LoadDataFile(file);
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.kind, kind.set);
    EXPECT_EQ(result.count, records);
    const auto intervals = loaded.Intervals(kind.set);
    float sum = 0.0f;
    for (int i = 0; i < records; ++i) {
        EXPECT_GE(intervals[static_cast<std::size_t>(i)], 0.0f);
        sum += intervals[static_cast<std::size_t>(i)];
    }
    EXPECT_LT(sum, 5.0f);
    if (done["wrapped"].toBool()) {
        // A fast stream filled the ring: the file holds the newest records, all but one slot.
        EXPECT_EQ(records, DataSets::Capacity(kind.set) - 1);
    } else {
        EXPECT_GT(sum, 0.5f); // the recording's second, less the oldest record's interval
    }
    if (kind.set == SetupStatusSet) {
        EXPECT_EQ(result.header.unitsName, "counts");
        for (int i = 0; i < records; ++i) {
            EXPECT_EQ((loaded.SetupStatus().status[static_cast<std::size_t>(i)] >> 10) & 63u, 0u);
        }
    }
    if (kind.set == EncoderSignalSet) {
        for (int i = 0; i < records; ++i) {
            EXPECT_LT(loaded.EncoderSignal().w1[static_cast<std::size_t>(i)], 4096);
        }
    }
    EXPECT_EQ(FilesIn(Dir()), std::vector<std::string>{kind.file});
    EXPECT_FALSE(Sim().streaming());
}

INSTANTIATE_TEST_SUITE_P(Modes, RecordTest,
                         ::testing::Values(Kind{"status", SetupStatusSet, "setup.man"},
                                           Kind{"encoder", EncoderSignalSet, "signal.lis"},
                                           Kind{"strength", SignalStrengthSet, "strength.str"},
                                           Kind{"plots", PositionVelocitySet, "plots.pos"}),
                         [](const auto &info) { return std::string(info.param.name); });

class RecordInterruptTest : public CtlFixture {};

TEST_F(RecordInterruptTest, CtrlCStopsTheStreamAndWritesNothing) {
    kpdsim::SimOptions o = FastOptions();
    o.requestLog = true;
    StartSimulator(23, o);
    const std::string file = File("signal.lis");
    CtlProcess p({"record", "encoder", "--seconds", "60", "-o", file, "--port", "23"});
    for (int i = 0; i < 500 && Sim().recordsSent() < 100; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(Sim().streaming());
    const uint64_t stopped = Sim().streamsStopped();
    p.Signal(SIGINT);
    EXPECT_EQ(p.Wait(), 1) << p.Err();
    EXPECT_NE(p.Err().find("recording interrupted"), std::string::npos) << p.Err();
    EXPECT_TRUE(FilesIn(Dir()).empty()) << "a file was left: " << FilesIn(Dir()).front();
    // Left as KPD's Stop leaves it: the stream stopped by its burst, a handshake after it.
    EXPECT_FALSE(Sim().streaming());
    EXPECT_GT(Sim().streamsStopped(), stopped);
    const auto log = kpdsim::describe(Sim().requestLog());
    const auto burst = std::find_if(log.begin(), log.end(), [](const std::string &l) {
        return l.find("(ended stream)") != std::string::npos;
    });
    ASSERT_NE(burst, log.end()) << kpdsim::formatLog(Sim().requestLog());
    EXPECT_NE(std::find(burst, log.end(), "sync"), log.end()) << kpdsim::formatLog(Sim().requestLog());
}

TEST_F(RecordInterruptTest, AnInterruptedRecordingLeavesTheOldFileAlone) {
    StartSimulator(24);
    const std::string file = File("plots.pos");
    {
        std::ofstream old(file);
        old << "an earlier file\n";
    }
    CtlProcess p({"record", "plots", "--seconds", "60", "-o", file, "--port", "24", "--json"});
    for (int i = 0; i < 500 && Sim().recordsSent() < 50; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    p.Signal(SIGINT);
    EXPECT_EQ(p.Wait(), 1);
    const auto errors = p.JsonErrors();
    ASSERT_EQ(errors.size(), 1u) << p.Err();
    EXPECT_EQ(errors[0]["exit"].toInt(), 1);
    EXPECT_EQ(Contents(file), "an earlier file\n");
    EXPECT_EQ(FilesIn(Dir()), std::vector<std::string>{"plots.pos"});
}

TEST_F(RecordInterruptTest, ProgressLineOnATerminal) {
    StartSimulator(25);
    const std::string file = File("signal.lis");
    CtlProcess p({"record", "encoder", "--seconds", "1.5", "-o", file, "--port", "25"},
                 CtlProcess::Mode::Terminal);
    EXPECT_EQ(p.Wait(), 0) << p.Out();
    EXPECT_NE(p.Out().find("\rRecording encoder signal on COM25: "), std::string::npos) << p.Out();
    EXPECT_NE(p.Out().find(" s of 1.5 s, "), std::string::npos) << p.Out();
    EXPECT_NE(p.Out().find("records written to " + file), std::string::npos) << p.Out();
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(RecordInterruptTest, SilentElectronicsWriteNothing) {
    StartSimulator(26);
    Sim().setSilent(true);
    const std::string file = File("setup.man");
    const auto r = RunCtl({"record", "status", "--seconds", "1", "-o", file, "--port", "26"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("no electronics answered on COM26"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(RecordInterruptTest, LinkFailureWhileRecordingWritesNothing) {
    StartSimulator(27);
    const std::string file = File("setup.man");
    CtlProcess p({"record", "status", "--seconds", "60", "-o", file, "--port", "27"});
    for (int i = 0; i < 500 && Sim().requestsAnswered() < 100; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Sim().setSilent(true);
    EXPECT_EQ(p.Wait(), 1);
    EXPECT_NE(p.Err().find("stopped answering on COM27"), std::string::npos) << p.Err();
    EXPECT_TRUE(FilesIn(Dir()).empty());
}

} // namespace
