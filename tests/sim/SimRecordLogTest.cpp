// The record log: the stream records the electronics sent, in order, with the words they carried and what
// the faults did to them; off by default, bounded, and readable while the electronics stream.
#include "SimFixture.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

const uint8_t kSignalRegs[] = {0x34, 0x32, 0x38, 0x36};

class SimRecordLogTest : public SimFixture {
protected:
    // A moving head, so that consecutive records differ.
    kpdsim::SimOptions options() override {
        kpdsim::SimOptions o = SimFixture::options();
        o.speed = 50000;
        return o;
    }
    void begin(const uint8_t *regs, int n) {
        ClearRxBuffer(kPort);
        ASSERT_EQ(DoSynchronize(kPort), 1);
        ASSERT_EQ(BeginAsyncVK240(kPort, n, regs), 0);
    }
    void end(int n) {
        EndAsync(kPort, n);
        sleepMs(20);
        ClearRxBuffer(kPort);
    }
    static std::vector<uint16_t> asWords(const int16_t *w, int n) {
        std::vector<uint16_t> v;
        for (int i = 0; i < n; ++i)
            v.push_back(static_cast<uint16_t>(w[i]));
        return v;
    }
};

} // namespace

TEST_F(SimRecordLogTest, IsOffByDefault) {
    EXPECT_FALSE(sim->recordLogEnabled());
    begin(kSignalRegs, 4);
    int16_t w[4] = {};
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    end(4);
    EXPECT_GE(sim->recordsSent(), 10u);
    EXPECT_TRUE(sim->recordLog().empty());
    EXPECT_EQ(sim->recordLogDropped(), 0u);
}

TEST_F(SimRecordLogTest, HoldsTheRecordsReadInTheOrderSent) {
    sim->setRecordLog(true);
    ASSERT_TRUE(sim->recordLogEnabled());
    // Paced, so that each record is sampled at its own wire time (some 3 ms apart, 150 counts of travel):
    // an unpaced stream builds records in bursts at one instant, and how many differ depends on the load.
    sim->setPacing(true);
    begin(kSignalRegs, 4);
    std::vector<std::vector<uint16_t>> read;
    for (int i = 0; i < 60; ++i) {
        int16_t w[4] = {};
        ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
        read.push_back(asWords(w, 4));
    }
    end(4);
    const std::vector<kpdsim::SentRecord> log = sim->recordLog();
    ASSERT_GE(log.size(), read.size());
    EXPECT_EQ(log.size(), sim->recordsSent());
    int changes = 0;
    for (std::size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(log[i].number, i + 1);
        EXPECT_EQ(log[i].registers, std::vector<uint8_t>(std::begin(kSignalRegs), std::end(kSignalRegs)));
        EXPECT_EQ(log[i].words, read[i]) << "record " << i;
        EXPECT_FALSE(log[i].badWord || log[i].noise || log[i].damaged);
        if (i > 0) {
            EXPECT_GE(log[i].timeNs, log[i - 1].timeNs);
            if (log[i].words != log[i - 1].words) ++changes;
        }
    }
    // The head moved: the check compares real signal values (the head may turn at an end of the scale).
    EXPECT_GT(changes, 40);
}

TEST_F(SimRecordLogTest, KeepsTheRecordsOfEachStreamWithItsRegisterList) {
    sim->setRecordLog(true);
    const uint8_t positionRegs[] = {0x85, 0x86, 0x40, 0x3E};
    int16_t w[4] = {};
    begin(kSignalRegs, 4);
    ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    end(4);
    begin(positionRegs, 4);
    ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    const std::vector<uint16_t> position = asWords(w, 4);
    end(4);
    const std::vector<kpdsim::SentRecord> log = sim->recordLog();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.front().registers, std::vector<uint8_t>(std::begin(kSignalRegs), std::end(kSignalRegs)));
    std::size_t firstPosition = 0;
    while (firstPosition < log.size() && log[firstPosition].registers.front() != 0x85)
        ++firstPosition;
    ASSERT_LT(firstPosition, log.size());
    EXPECT_EQ(log[firstPosition].registers,
              std::vector<uint8_t>(std::begin(positionRegs), std::end(positionRegs)));
    EXPECT_EQ(log[firstPosition].words, position);
}

TEST_F(SimRecordLogTest, MarksInjectedBadWordsNoiseAndDroppedBytes) {
    using Clock = std::chrono::steady_clock; // the log's clock (CLOCK_MONOTONIC)
    const auto nowNs = [] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
    };
    constexpr int64_t kSettleNs = 20000000; // a record being built when a fault switched may go either way
    sim->setRecordLog(true);
    // Paced: an unpaced stream fills the line while nobody reads it, and then sends nothing in the window
    // of dropped bytes.
    sim->setPacing(true);
    sim->injectBadWords(2);
    begin(kSignalRegs, 4);
    int16_t w[4] = {};
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    // Noise for a while, the stream still read; then every byte dropped.
    const int64_t noiseOn = nowNs();
    sim->setNoise(true);
    const auto readFor = [&](int ms) {
        const auto until = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < until)
            ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    };
    readFor(100);
    const int64_t noiseOff = nowNs();
    sim->setNoise(false);
    readFor(50);
    const int64_t dropOn = nowNs();
    sim->setDropByteFraction(1.0);
    sleepMs(100);
    const int64_t dropOff = nowNs();
    sim->setDropByteFraction(0.0);
    end(4);

    const std::vector<kpdsim::SentRecord> log = sim->recordLog();
    ASSERT_GE(log.size(), 4u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(log[i].badWord);
        EXPECT_EQ(log[i].words[0] & 0xF000, 0xF000); // as sent, with the bad word
    }
    EXPECT_FALSE(log[2].badWord);
    EXPECT_EQ(log[2].words[0] & 0xF000, 0);
    int noisy = 0, damaged = 0;
    for (const kpdsim::SentRecord &r : log) {
        if (r.timeNs < noiseOn || r.timeNs > noiseOff + kSettleNs) {
            EXPECT_FALSE(r.noise) << r.number;
        }
        if (r.timeNs > noiseOn + kSettleNs && r.timeNs < noiseOff) {
            EXPECT_TRUE(r.noise) << r.number;
            ++noisy;
        }
        if (r.timeNs < dropOn || r.timeNs > dropOff + kSettleNs) {
            EXPECT_FALSE(r.damaged) << r.number;
        }
        if (r.timeNs > dropOn + kSettleNs && r.timeNs < dropOff) {
            EXPECT_TRUE(r.damaged) << r.number;
            ++damaged;
        }
    }
    EXPECT_GT(noisy, 0);
    EXPECT_GT(damaged, 0);
}

TEST_F(SimRecordLogTest, IsBoundedAndCanBeTakenAndCleared) {
    sim->setRecordLog(true);
    sim->setRecordLogCapacity(5);
    begin(kSignalRegs, 4);
    int16_t w[4] = {};
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    end(4);
    const uint64_t sent = sim->recordsSent();
    std::vector<kpdsim::SentRecord> log = sim->recordLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log.back().number, sent);
    for (std::size_t i = 1; i < log.size(); ++i)
        EXPECT_EQ(log[i].number, log[i - 1].number + 1);
    EXPECT_EQ(sim->recordLogDropped(), sent - 5);

    log = sim->takeRecordLog();
    EXPECT_EQ(log.size(), 5u);
    EXPECT_TRUE(sim->recordLog().empty());
    EXPECT_EQ(sim->recordLogDropped(), sent - 5); // taking keeps the count
    sim->clearRecordLog();
    EXPECT_EQ(sim->recordLogDropped(), 0u);

    sim->setRecordLog(false);
    begin(kSignalRegs, 4);
    ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    end(4);
    EXPECT_TRUE(sim->recordLog().empty());
}

TEST_F(SimRecordLogTest, CanBeTakenWhileTheElectronicsStream) {
    sim->setRecordLog(true);
    begin(kSignalRegs, 4);
    std::atomic<bool> done{false};
    std::vector<kpdsim::SentRecord> taken;
    std::thread taker([&] {
        while (!done.load()) {
            for (kpdsim::SentRecord &r : sim->takeRecordLog())
                taken.push_back(std::move(r));
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    int16_t w[4] = {};
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(ReadAsyncVK240(kPort, 4, w), 0);
    end(4);
    done = true;
    taker.join();
    for (kpdsim::SentRecord &r : sim->takeRecordLog())
        taken.push_back(std::move(r));
    ASSERT_EQ(taken.size(), sim->recordsSent());
    for (std::size_t i = 0; i < taken.size(); ++i)
        EXPECT_EQ(taken[i].number, i + 1);
}

TEST_F(SimRecordLogTest, CanBeOnFromTheStart) {
    constexpr int kOtherPort = kPort + 1;
    kpdsim::SimOptions o = options();
    o.recordLog = true;
    o.recordLogCapacity = 3;
    kpdsim::Simulator other(o);
    ASSERT_TRUE(other.start(dir, kOtherPort)) << other.lastError();
    ASSERT_EQ(OpenPort(kOtherPort), 0);
    ASSERT_EQ(ConfigPort(kOtherPort, 200, 38400), 0);
    EXPECT_TRUE(other.recordLogEnabled());
    ClearRxBuffer(kOtherPort);
    ASSERT_EQ(DoSynchronize(kOtherPort), 1);
    ASSERT_EQ(BeginAsyncVK240(kOtherPort, 4, kSignalRegs), 0);
    int16_t w[4] = {};
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(ReadAsyncVK240(kOtherPort, 4, w), 0);
    EndAsync(kOtherPort, 4);
    sleepMs(20);
    ClosePort(kOtherPort);
    const std::vector<kpdsim::SentRecord> log = other.recordLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(other.recordLogDropped(), other.recordsSent() - 3);
    EXPECT_TRUE(sim->recordLog().empty()); // each simulator keeps its own
}
