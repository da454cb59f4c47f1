#include "kpdsim/Simulator.h"

#include "FrameCodec.h"
#include "PtyPort.h"
#include "RecordLogStore.h"
#include "RequestLogStore.h"
#include "SensorModel.h"
#include "WireClock.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <deque>
#include <mutex>
#include <poll.h>
#include <random>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kpdsim {

namespace {
constexpr int64_t kMs = 1000000;
constexpr int64_t kFrameTimeoutNs = 20 * kMs; // an incomplete frame is dropped after this
constexpr int64_t kResetSilenceNs = 1000 * kMs;
constexpr int kStopRun = 3; // consecutive stop bytes that end a stream
constexpr size_t kMaxStreamRegs = 72;
constexpr size_t kMaxReply = 64;
constexpr size_t kOutLimit = 2048;        // records are dropped when the line backs up beyond this
constexpr uint16_t kBadWordBits = 0xF000; // set on the first word of a record with an injected bad word
constexpr long long kMaxBadWordRecords = 1000000;
// Stop bytes that arrive within this time of the previous ones continue the same burst in the log.
constexpr int64_t kBurstGapNs = 10 * kMs;

std::string hex(const uint8_t *p, size_t n) {
    std::string s;
    char b[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(b, sizeof b, "%02X", p[i]);
        if (i) s += ' ';
        s += b;
    }
    return s;
}
} // namespace

struct Simulator::Impl {
    explicit Impl(const SimOptions &o)
        : model(o), rng(o.seed), pacing(o.pacing), latencyMs(o.latencyMs), trace(o.trace),
          cycles(o.powerOnCycles), hours(o.powerOnHours), mspVersion(o.mspVersion) {
        model.powerOn(monotonicNs());
        log.setCapacity(o.requestLogCapacity);
        log.setEnabled(o.requestLog);
        recordLog.setCapacity(o.recordLogCapacity);
        recordLog.setEnabled(o.recordLog);
    }

    // Shared with API callers.
    mutable std::mutex m; // model, port paths, last error
    SensorModel model;
    PtyPort port;
    std::string lastError;
    int com = 0;
    std::thread thread;
    int wake[2] = {-1, -1};
    std::mt19937_64 rng; // thread only

    std::atomic<bool> stopFlag{false}, runningFlag{false}, streamingFlag{false};
    std::atomic<bool> pacing, silent{false}, noise{false}, stall{false};
    std::atomic<int> latencyMs, slowMs{0};
    std::atomic<double> corrupt{0.0}, drop{0.0};
    std::atomic<bool> trace;
    std::atomic<uint32_t> cycles, hours;
    std::atomic<uint16_t> mspVersion;
    std::atomic<int64_t> startNs{0};
    std::atomic<uint64_t> answered{0}, syncs{0}, bad{0}, records{0}, streamsStarted{0}, streamsStopped{0},
        resets{0}, bytesIn{0}, bytesOut{0}, badWords{0};
    long long badWordRecords = 0;        // records still to carry a bad word (guarded by m)
    std::array<int, 256> spoiledReads{}; // reads per register still to answer with a wrong checksum (m)
    std::atomic<uint64_t> rxPurges{0}, txPurges{0};
    std::atomic<bool> packetMode{false};
    RequestLogStore log;       // its own lock
    RecordLogStore recordLog;  // its own lock

    // Thread state.
    std::vector<uint8_t> in;
    int64_t inStartNs = 0;
    // What happened while `in` filled up, by position in `in`: the time each read's bytes arrived
    // (flush 0: bytes before `offset` had arrived at `ns`) and the purges the line reported (flush bits,
    // seen after the first `offset` bytes). Purges are logged once everything before them is logged.
    struct InputMark {
        size_t offset;
        int64_t ns;
        uint8_t flush;
    };
    std::deque<InputMark> marks;
    bool discardInput = false; // set by a software reset: the rest of the input is lost
    std::vector<uint8_t> out;
    std::vector<uint8_t> streamRegs;
    int64_t nextRecordNs = 0;
    int stopRun = 0;
    int64_t silentUntilNs = 0;

    void run();
    void readInput();
    void flushOut();
    void processRequests(int64_t now, int64_t &wakeAt);
    void processStreamInput();
    void emitRecord(int64_t now);
    void handleFrame(const uint8_t *f, const FrameScan &s, int64_t receivedNs);
    // Log bookkeeping of the input (the electronics' thread only).
    void lineStatus(uint8_t flags, int64_t now);
    int64_t receivedNs(size_t bytes) const; // arrival time of the first `bytes` bytes of `in`
    void consumeInput(size_t bytes);        // drops them from `in`, logging the purges seen up to there
    void dropInput(size_t bytes);           // the same for bytes nobody examines: logged as ignored
    void logStopBytes(size_t bytes, bool endedStream);
    void logBytes(LogKind kind, size_t bytes);
    void reply(std::vector<uint8_t> bytes, int64_t deadline, bool frame);
    int64_t replyDeadline(size_t requestBytes, size_t replyBytes) const;
    bool chance(double f) {
        if (f <= 0) return false;
        if (f >= 1) return true;
        return std::uniform_real_distribution<double>(0.0, 1.0)(rng) < f;
    }
    void addNoise(std::vector<uint8_t> &v, bool avoidMarker) {
        const int n = 1 + static_cast<int>(rng() % 3);
        for (int i = 0; i < n; ++i) {
            uint8_t b;
            do
                b = static_cast<uint8_t>(rng() & 0xFF);
            while (b == kAckByte || b == kStartByte || (avoidMarker && b == 0xFF));
            v.insert(v.begin(), b);
        }
    }
    void traceLine(const char *dir, const uint8_t *p, size_t n) {
        if (!trace.load()) return;
        std::fprintf(stderr, "COM%d %s %s\n", com, dir, hex(p, n).c_str());
    }
    int64_t syncGapNs() const { return pacing.load() ? wireNs(2) : 200000; }
};

Simulator::Simulator(SimOptions options) : d(std::make_unique<Impl>(options)) {}

Simulator::~Simulator() {
    stop();
}

bool Simulator::start(const std::string &portDir, int com) {
    stop();
    std::lock_guard<std::mutex> lk(d->m);
    if (!d->port.open(portDir, com)) {
        d->lastError = d->port.error();
        return false;
    }
    if (::pipe(d->wake) != 0) {
        d->lastError = "cannot create the wake-up pipe";
        d->port.close();
        return false;
    }
    d->com = com;
    d->lastError.clear();
    d->stopFlag = false;
    d->in.clear();
    d->marks.clear();
    d->discardInput = false;
    d->out.clear();
    d->streamingFlag = false;
    d->packetMode = d->port.packetMode();
    d->startNs = monotonicNs();
    d->runningFlag = true;
    d->thread = std::thread([this] { d->run(); });
    return true;
}

void Simulator::stop() {
    if (d->thread.joinable()) {
        d->stopFlag = true;
        const char c = 1;
        if (::write(d->wake[1], &c, 1) < 0) {
        }
        d->thread.join();
    }
    std::lock_guard<std::mutex> lk(d->m);
    for (int &fd : d->wake) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    d->port.close();
    d->runningFlag = false;
    d->streamingFlag = false;
    d->com = 0;
}

bool Simulator::running() const {
    return d->runningFlag.load();
}
std::string Simulator::devicePath() const {
    std::lock_guard<std::mutex> lk(d->m);
    return d->port.devicePath();
}
std::string Simulator::linkPath() const {
    std::lock_guard<std::mutex> lk(d->m);
    return d->port.linkPath();
}
int Simulator::com() const {
    std::lock_guard<std::mutex> lk(d->m);
    return d->com;
}
std::string Simulator::lastError() const {
    std::lock_guard<std::mutex> lk(d->m);
    return d->lastError;
}

// ---- Identity ----
void Simulator::setModelCode(int code) {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.options().modelCode = code & 15;
    d->model.applyIdentity();
}
void Simulator::setMspVersion(uint16_t v) {
    d->mspVersion = v;
}
void Simulator::setSensorType(uint16_t v) {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.options().sensorType = v;
    d->model.applyIdentity();
}
void Simulator::setInterpDepth(uint16_t v) {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.options().interpDepth = v;
    d->model.applyIdentity();
}
void Simulator::setFirmwareVersion(uint16_t v) {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.options().firmwareVersion = v;
    d->model.applyIdentity();
}
void Simulator::setConfig(uint16_t v) {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.options().config = v;
    d->model.write(reg::Config, v, 0);
}
void Simulator::setPowerOnHours(uint32_t v) {
    d->hours = v;
}
void Simulator::setPowerOnCycles(uint32_t v) {
    d->cycles = v;
}
uint32_t Simulator::powerOnCycles() const {
    return d->cycles.load();
}

// ---- Registers and model ----
uint16_t Simulator::reg(uint8_t r) const {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.advance(monotonicNs());
    return d->model.peek(r);
}
void Simulator::setReg(uint8_t r, uint16_t v) {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.pin(r, v);
}
void Simulator::releaseReg(uint8_t r) {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.unpin(r);
}
void Simulator::setSpeed(double cps) {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.advance(monotonicNs());
    d->model.setSpeed(cps);
}
void Simulator::setAlignment(double q) {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.setAlignment(std::clamp(q, 0.0, 2.0));
}
void Simulator::setDistortion(const Distortion &distortion) {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.setDistortion(distortion);
}
Distortion Simulator::distortion() const {
    std::lock_guard<std::mutex> lk(d->m);
    return d->model.options().distortion;
}
void Simulator::setPosition(int64_t counts) {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.advance(monotonicNs());
    d->model.setHeadPosition(counts);
}
int64_t Simulator::position() const {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.advance(monotonicNs());
    return d->model.headPosition();
}
int32_t Simulator::positionCount() const {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.advance(monotonicNs());
    return d->model.counter();
}
uint16_t Simulator::magnitude() const {
    std::lock_guard<std::mutex> lk(d->m);
    return d->model.peek(reg::Magnitude);
}
int Simulator::operatingState() const {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.advance(monotonicNs());
    return d->model.operatingState();
}
void Simulator::setCalibrationFault(uint16_t bits) {
    std::lock_guard<std::mutex> lk(d->m);
    d->model.setCalibrationFault(bits);
}

// ---- Timing and faults ----
void Simulator::setPacing(bool on) {
    d->pacing = on;
}
void Simulator::setLatencyMs(int ms) {
    d->latencyMs = std::max(ms, 0);
}
void Simulator::setSilent(bool on) {
    d->silent = on;
}
void Simulator::setCorruptChecksumFraction(double f) {
    d->corrupt = std::clamp(f, 0.0, 1.0);
}
void Simulator::setDropByteFraction(double f) {
    d->drop = std::clamp(f, 0.0, 1.0);
}
void Simulator::setNoise(bool on) {
    d->noise = on;
}
void Simulator::setSlowReplyMs(int ms) {
    d->slowMs = std::max(ms, 0);
}
void Simulator::setStreamStall(bool on) {
    d->stall = on;
}
void Simulator::injectBadWords(int records) {
    if (records <= 0) return;
    std::lock_guard<std::mutex> lk(d->m);
    d->badWordRecords = std::min(d->badWordRecords + records, kMaxBadWordRecords);
}
void Simulator::spoilNextReads(uint8_t r, int count) {
    if (count <= 0) return;
    std::lock_guard<std::mutex> lk(d->m);
    int &pending = d->spoiledReads[r];
    pending = static_cast<int>(std::min<long long>(static_cast<long long>(pending) + count, 1000000));
}
void Simulator::setTrace(bool on) {
    d->trace = on;
}

uint64_t Simulator::requestsAnswered() const {
    return d->answered.load();
}
uint64_t Simulator::syncsAnswered() const {
    return d->syncs.load();
}
uint64_t Simulator::badFrames() const {
    return d->bad.load();
}
uint64_t Simulator::recordsSent() const {
    return d->records.load();
}
uint64_t Simulator::badWordsSent() const {
    return d->badWords.load();
}
uint64_t Simulator::streamsStarted() const {
    return d->streamsStarted.load();
}
uint64_t Simulator::streamsStopped() const {
    return d->streamsStopped.load();
}
uint64_t Simulator::resets() const {
    return d->resets.load();
}
uint64_t Simulator::bytesReceived() const {
    return d->bytesIn.load();
}
uint64_t Simulator::bytesSent() const {
    return d->bytesOut.load();
}
bool Simulator::streaming() const {
    return d->streamingFlag.load();
}
uint64_t Simulator::receivePurgesSeen() const {
    return d->rxPurges.load();
}
uint64_t Simulator::transmitPurgesSeen() const {
    return d->txPurges.load();
}

// ---- Request log ----

void Simulator::setRequestLog(bool on) {
    d->log.setEnabled(on);
}
bool Simulator::requestLogEnabled() const {
    return d->log.enabled();
}
void Simulator::setRequestLogCapacity(std::size_t entries) {
    d->log.setCapacity(entries);
}
std::vector<LogEntry> Simulator::requestLog() const {
    return d->log.items();
}
void Simulator::clearRequestLog() {
    d->log.clear();
}
uint64_t Simulator::requestLogDropped() const {
    return d->log.dropped();
}
bool Simulator::purgesVisible() const {
    return d->packetMode.load();
}

// ---- Record log ----

void Simulator::setRecordLog(bool on) {
    d->recordLog.setEnabled(on);
}
bool Simulator::recordLogEnabled() const {
    return d->recordLog.enabled();
}
void Simulator::setRecordLogCapacity(std::size_t records) {
    d->recordLog.setCapacity(records);
}
std::vector<SentRecord> Simulator::recordLog() const {
    return d->recordLog.items();
}
std::vector<SentRecord> Simulator::takeRecordLog() {
    return d->recordLog.take();
}
void Simulator::clearRecordLog() {
    d->recordLog.clear();
}
uint64_t Simulator::recordLogDropped() const {
    return d->recordLog.dropped();
}

// ---- The electronics' loop ----

void Simulator::Impl::run() {
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0); // keep paced deadlines tight
    const int fd = port.masterFd();
    while (!stopFlag.load()) {
        const int64_t now = monotonicNs();
        port.releaseExclusive();
        int64_t wakeAt = now + 20 * kMs;
        const bool quiet = silent.load() || now < silentUntilNs;
        if (streamingFlag.load() && !quiet && !stall.load())
            wakeAt = std::min(wakeAt, pacing.load() ? nextRecordNs : now);
        if (!in.empty() && !streamingFlag.load()) processRequests(now, wakeAt);

        pollfd fds[2] = {{fd, POLLIN, 0}, {wake[0], POLLIN, 0}};
        if (!out.empty()) fds[0].events |= POLLOUT;
        // A deadline of the request loop (the gap that tells a sync byte from a frame) is waited out
        // awake for its last stretch, as replies are: a thread woken by its timer runs some tens of
        // microseconds late, which every handshake would add to the line.
        const bool precise = !streamingFlag.load() && wakeAt < now + 20 * kMs;
        int64_t waitNs = std::max<int64_t>(wakeAt - monotonicNs(), 0);
        if (precise) waitNs = std::max<int64_t>(waitNs - kAwakeNs, 0);
        timespec ts{static_cast<time_t>(waitNs / 1000000000LL), static_cast<long>(waitNs % 1000000000LL)};
        const bool wantRecord = streamingFlag.load() && !quiet && !stall.load() && !pacing.load();
        if (wantRecord && out.empty()) ts = {0, 0};
        int n = ::ppoll(fds, 2, &ts, nullptr);
        if (precise && n == 0) {
            const timespec now0{0, 0};
            while (n == 0 && !stopFlag.load() && monotonicNs() < wakeAt)
                n = ::ppoll(fds, 2, &now0, nullptr);
        }
        if (n < 0 && errno != EINTR) break;
        if (stopFlag.load()) break;
        if (fds[0].revents & POLLIN) readInput();
        if (!out.empty()) flushOut();

        const int64_t t = monotonicNs();
        if (silent.load() || t < silentUntilNs) {
            dropInput(in.size()); // unplugged or restarting: everything sent is lost
            stopRun = 0;
            continue;
        }
        if (streamingFlag.load()) {
            processStreamInput();
            if (streamingFlag.load() && !stall.load()) {
                if (pacing.load()) {
                    if (t - nextRecordNs > 100 * kMs) nextRecordNs = t; // the stream was held up: resume
                    while (t >= nextRecordNs && streamingFlag.load()) {
                        // Each record samples the head at its own time on the wire, also when the loop
                        // woke late and sends several at once.
                        emitRecord(nextRecordNs);
                        nextRecordNs += wireNs(2 + 2 * static_cast<int64_t>(streamRegs.size()));
                    }
                } else if (out.empty()) {
                    emitRecord(t);
                }
            } else {
                nextRecordNs = t;
            }
        } else if (!in.empty()) {
            int64_t unused = 0;
            processRequests(t, unused);
        }
    }
}

void Simulator::Impl::readInput() {
    uint8_t buf[1024];
    const bool packet = port.packetMode();
    for (;;) {
        const ssize_t n = ::read(port.masterFd(), buf, sizeof buf);
        if (n <= 0) break;
        const int64_t now = monotonicNs();
        const uint8_t *data = buf;
        auto len = static_cast<size_t>(n);
        if (packet) { // a control byte first: 0 before data, else the line's status flags alone
            if (buf[0] != TIOCPKT_DATA) {
                lineStatus(buf[0], now);
                continue;
            }
            ++data;
            --len;
            if (len == 0) continue;
        }
        if (in.empty()) inStartNs = now;
        in.insert(in.end(), data, data + len);
        marks.push_back({in.size(), now, 0});
        bytesIn += static_cast<uint64_t>(len);
    }
    consumeInput(0); // purges that nothing unlogged precedes
}

void Simulator::Impl::lineStatus(uint8_t flags, int64_t now) {
    const auto bits = static_cast<uint8_t>(flags & (TIOCPKT_FLUSHREAD | TIOCPKT_FLUSHWRITE));
    if (!bits) return; // flow-control changes of the line settings: nothing the electronics see
    if (bits & TIOCPKT_FLUSHWRITE) {
        ++txPurges;
        if (trace.load()) std::fprintf(stderr, "COM%d <- purge of the transmit queue\n", com);
    }
    if (bits & TIOCPKT_FLUSHREAD) {
        ++rxPurges;
        if (trace.load()) std::fprintf(stderr, "COM%d <- purge of the receive queue\n", com);
    }
    marks.push_back({in.size(), now, bits});
}

int64_t Simulator::Impl::receivedNs(size_t bytes) const {
    for (const InputMark &mk : marks)
        if (mk.flush == 0 && mk.offset >= bytes) return mk.ns;
    return monotonicNs();
}

void Simulator::Impl::consumeInput(size_t bytes) {
    bytes = std::min(bytes, in.size());
    while (!marks.empty() && marks.front().offset <= bytes) {
        const InputMark mk = marks.front();
        marks.pop_front();
        if (!mk.flush || !log.enabled()) continue;
        // One report may carry both flushes; the transmit queue is the one a program clears first.
        for (const uint8_t bit : {uint8_t{TIOCPKT_FLUSHWRITE}, uint8_t{TIOCPKT_FLUSHREAD}}) {
            if (!(mk.flush & bit)) continue;
            LogEntry e;
            e.timeNs = mk.ns;
            e.kind = bit == TIOCPKT_FLUSHREAD ? LogKind::ReceivePurge : LogKind::TransmitPurge;
            log.add(std::move(e));
        }
    }
    for (InputMark &mk : marks)
        mk.offset -= bytes;
    in.erase(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(bytes));
}

void Simulator::Impl::logBytes(LogKind kind, size_t bytes) {
    bytes = std::min(bytes, in.size());
    if (bytes == 0 || !log.enabled()) return;
    LogEntry e;
    e.timeNs = receivedNs(bytes);
    e.kind = kind;
    e.count = static_cast<uint32_t>(bytes);
    e.bytes.assign(in.begin(),
                   in.begin() + static_cast<std::ptrdiff_t>(std::min(bytes, LogEntry::kMaxLoggedBytes)));
    log.add(std::move(e));
}

void Simulator::Impl::logStopBytes(size_t bytes, bool endedStream) {
    bytes = std::min(bytes, in.size());
    if (bytes == 0 || !log.enabled()) return;
    const int64_t t = receivedNs(bytes);
    if (log.extendStopBurst(static_cast<uint32_t>(bytes), t, kBurstGapNs, endedStream)) return;
    LogEntry e;
    e.timeNs = t;
    e.kind = LogKind::StopBurst;
    e.count = static_cast<uint32_t>(bytes);
    e.stoppedStream = endedStream;
    log.add(std::move(e));
}

void Simulator::Impl::dropInput(size_t bytes) {
    // Runs of stop bytes are logged as bursts, everything else as ignored bytes, each after the purges
    // that came before it.
    bytes = std::min(bytes, in.size());
    while (bytes > 0) {
        consumeInput(0);
        const bool stop = in[0] == kStopByte;
        size_t run = 1;
        while (run < bytes && (in[run] == kStopByte) == stop)
            ++run;
        if (stop)
            logStopBytes(run, false);
        else
            logBytes(LogKind::Ignored, run);
        consumeInput(run);
        bytes -= run;
    }
    consumeInput(0);
}

void Simulator::Impl::flushOut() {
    while (!out.empty()) {
        const ssize_t n = ::write(port.masterFd(), out.data(), out.size());
        if (n <= 0) return; // line backed up (or gone): try again when writable
        bytesOut += static_cast<uint64_t>(n);
        out.erase(out.begin(), out.begin() + n);
    }
}

int64_t Simulator::Impl::replyDeadline(size_t requestBytes, size_t replyBytes) const {
    int64_t t = inStartNs;
    if (pacing.load()) t += wireNs(static_cast<int64_t>(requestBytes + replyBytes));
    return t + (latencyMs.load() + slowMs.load()) * kMs;
}

void Simulator::Impl::reply(std::vector<uint8_t> bytes, int64_t deadline, bool frame) {
    if (frame && bytes.size() > 2 && chance(corrupt.load())) bytes[bytes.size() - 2] ^= 0x5A;
    if (noise.load()) addNoise(bytes, false);
    const double f = drop.load();
    if (f > 0) std::erase_if(bytes, [&](uint8_t) { return chance(f); });
    sleepUntilNs(deadline, stopFlag);
    traceLine("->", bytes.data(), bytes.size());
    out.insert(out.end(), bytes.begin(), bytes.end());
    flushOut();
}

void Simulator::Impl::processRequests(int64_t now, int64_t &wakeAt) {
    while (!in.empty() && !streamingFlag.load()) {
        // Purges that came before what comes now.
        consumeInput(0);
        if (in[0] != kStartByte) { // stray bytes between frames (for instance the rest of a stop burst)
            size_t stray = 1;
            while (stray < in.size() && in[stray] != kStartByte)
                ++stray;
            dropInput(stray);
            continue;
        }
        if (in.size() == 1) {
            if (now - inStartNs < syncGapNs()) {
                wakeAt = std::min(wakeAt, inStartNs + syncGapNs());
                return;
            }
            traceLine("<-", in.data(), 1);
            if (log.enabled()) {
                LogEntry e;
                e.timeNs = receivedNs(1);
                e.kind = LogKind::Sync;
                e.answered = true;
                e.unreadBytes = port.unreadBytes();
                log.add(std::move(e));
            }
            consumeInput(1);
            ++syncs;
            reply({kAckByte}, std::max(replyDeadline(1, 1), inStartNs + syncGapNs()), false);
            return;
        }
        const FrameScan s = scanFrame(in.data(), in.size());
        if (s.kind == FrameScan::NeedMore) {
            if (now - inStartNs < kFrameTimeoutNs) {
                wakeAt = std::min(wakeAt, inStartNs + kFrameTimeoutNs);
                return;
            }
            traceLine("<- incomplete", in.data(), in.size());
            logBytes(LogKind::Rejected, in.size());
            consumeInput(in.size());
            ++bad;
            return;
        }
        if (s.kind == FrameScan::Bad) {
            traceLine("<- bad", in.data(), in.size());
            logBytes(LogKind::Rejected, in.size());
            consumeInput(in.size()); // the whole burst is rejected: no answer
            ++bad;
            return;
        }
        const std::vector<uint8_t> frame(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(s.length));
        traceLine("<-", frame.data(), frame.size());
        handleFrame(frame.data(), s, receivedNs(s.length));
        consumeInput(s.length);
        if (discardInput) { // a software reset: what followed the command is lost
            discardInput = false;
            dropInput(in.size());
        }
        inStartNs = monotonicNs();
        now = inStartNs;
    }
}

void Simulator::Impl::handleFrame(const uint8_t *f, const FrameScan &s, int64_t receivedAtNs) {
    const uint8_t cmd = f[1];
    const uint8_t *p = f + s.payloadOffset;
    const size_t len = s.payloadLength;
    const auto word = [&](size_t i) -> uint16_t { return static_cast<uint16_t>(p[i] | (p[i + 1] << 8)); };
    // The request goes into the log before its answer goes out (exactly once on every path below).
    const auto logRequest = [&](bool answeredIt) {
        if (!log.enabled()) return;
        LogEntry e;
        e.timeNs = receivedAtNs;
        e.kind = isStreamStartCommand(cmd) ? LogKind::StreamStart : LogKind::Request;
        e.command = cmd;
        e.payload.assign(p, p + len);
        if (len == 4)
            e.address = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
        e.answered = answeredIt;
        e.unreadBytes = port.unreadBytes();
        log.add(std::move(e));
    };
    const auto answer = [&](uint32_t value, size_t n, bool spoil = false) {
        ++answered; // counted before the answer goes out, so a caller that has it sees the count
        logRequest(true);
        std::vector<uint8_t> r = buildReply(cmd, value, n);
        if (spoil) r[r.size() - 2] ^= 0x5A;
        reply(std::move(r), replyDeadline(s.length, n + 6), true);
    };
    const auto ack = [&]() {
        ++answered;
        logRequest(true);
        reply({kAckByte}, replyDeadline(s.length, 1), false);
    };
    const auto reject = [&]() {
        traceLine("<- rejected", f, s.length);
        logRequest(false);
        ++bad;
    };
    // Reply length of the word-pair commands.
    const size_t n = len >= 4 ? word(2) : 0;
    const bool nOk = n >= 1 && n <= kMaxReply;

    std::unique_lock<std::mutex> lk(m);
    model.advance(monotonicNs());
    switch (cmd) {
    case 0x51:
    case 0xA4: {
        if (len != 4) return reject();
        const uint16_t selector = word(0);
        if (selector == 0) {
            const uint16_t v = model.read(p[2], p[3]);
            const bool spoil = spoiledReads[p[2]] > 0;
            if (spoil) --spoiledReads[p[2]];
            lk.unlock();
            return answer(v, 2, spoil);
        }
        if (cmd != 0x51 || !nOk) return reject();
        const uint32_t v = model.legacyRead(selector);
        lk.unlock();
        return answer(v, n);
    }
    case 0x50:
    case 0xA3:
        if (len == 4) {
            model.write(p[2], word(0), p[3]);
        } else if (cmd == 0x50 && len >= 4 && len == 4u + word(2)) {
            if (p[0] == 0xC0 && len > 4) model.legacyGenRegWrite(p[1]); // settings write of the old form
        } else {
            return reject();
        }
        lk.unlock();
        return ack();
    case 0x65:
    case 0xA8: {
        if (s.streamStart) {
            if (len > kMaxStreamRegs) return reject();
            streamRegs.assign(p, p + len);
        } else {
            streamRegs = {reg::YAdc, reg::XAdc, reg::YAdcAdj, reg::XAdcAdj}; // the legacy signal stream
        }
        lk.unlock();
        const int64_t deadline = replyDeadline(s.length, 1);
        streamingFlag = true;
        ++streamsStarted;
        stopRun = 0;
        nextRecordNs = deadline + wireNs(2 + 2 * static_cast<int64_t>(streamRegs.size()));
        ack();
        return;
    }
    case 0x60:
    case 0x80:
        lk.unlock();
        return nOk ? answer(mspVersion.load(), n) : reject();
    case 0x81:
        lk.unlock();
        return nOk ? answer(0x5A3C, n) : reject();
    case 0x62:
    case 0x82: {
        lk.unlock();
        const auto up = static_cast<uint32_t>((monotonicNs() - startNs.load()) / (3600LL * 1000 * kMs));
        return nOk ? answer(hours.load() + up, n) : reject();
    }
    case 0x63:
    case 0x83:
        lk.unlock();
        return nOk ? answer(cycles.load(), n) : reject();
    case 0x91:
        lk.unlock();
        return nOk ? answer(0x44332211, n) : reject();
    case 0x90:
    case 0x92:
        lk.unlock();
        return ack();
    case 0x64:
    case 0x84: // software reset: no answer, registers to power-on values, about a second without a word
        model.powerOn(monotonicNs());
        lk.unlock();
        logRequest(false);
        ++cycles;
        ++resets;
        streamingFlag = false;
        discardInput = true;
        silentUntilNs = monotonicNs() + kResetSilenceNs;
        return;
    default:
        if (cmd >= 0xA0 && cmd <= 0xAF && len == 4 && nOk && n <= 10) {
            const uint32_t v = cmd == 0xA1 ? mspVersion.load() : 0;
            lk.unlock();
            return answer(v, n);
        }
        lk.unlock();
        return reject();
    }
}

void Simulator::Impl::processStreamInput() {
    while (!in.empty()) {
        // Purges that came before what comes now; commands are not taken while streaming.
        consumeInput(0);
        if (in[0] != kStopByte) {
            stopRun = 0;
            size_t run = 1;
            while (run < in.size() && in[run] != kStopByte)
                ++run;
            logBytes(LogKind::Ignored, run);
            consumeInput(run);
            continue;
        }
        size_t run = 0;
        bool ended = false;
        while (run < in.size() && in[run] == kStopByte) {
            ++run;
            if (++stopRun >= kStopRun) {
                ended = true;
                break;
            }
        }
        if (!ended) {
            logStopBytes(run, false);
            consumeInput(run);
            continue;
        }
        traceLine("<- stop", in.data(), in.size());
        streamingFlag = false;
        ++streamsStopped;
        stopRun = 0;
        // The rest of the burst (and whatever came with it in this read) is dropped.
        while (run < in.size() && in[run] == kStopByte)
            ++run;
        logStopBytes(run, true);
        consumeInput(run);
        dropInput(in.size());
        return;
    }
    consumeInput(0);
}

void Simulator::Impl::emitRecord(int64_t now) {
    if (out.size() > kOutLimit) return; // nobody is reading: the record is lost on the line
    std::vector<uint8_t> rec;
    rec.reserve(2 + 2 * streamRegs.size());
    rec.push_back(0xFF);
    rec.push_back(0xFF);
    bool badWord = false;
    const bool logging = recordLog.enabled();
    SentRecord sent;
    {
        std::lock_guard<std::mutex> lk(m);
        model.advance(now);
        const int32_t snap = model.counter();
        badWord = badWordRecords > 0 && !streamRegs.empty();
        if (badWord) --badWordRecords;
        for (uint8_t r : streamRegs) {
            uint16_t v = model.streamValue(r, snap);
            if (badWord && rec.size() == 2) v |= kBadWordBits;
            rec.push_back(static_cast<uint8_t>(v & 0xFF));
            rec.push_back(static_cast<uint8_t>(v >> 8));
            if (logging) sent.words.push_back(v);
        }
    }
    if (badWord) {
        ++badWords;
        traceLine("-> record with a bad word", rec.data(), rec.size());
    }
    if (noise.load()) addNoise(rec, true);
    const std::size_t whole = rec.size();
    const double f = drop.load();
    if (f > 0) std::erase_if(rec, [&](uint8_t) { return chance(f); });
    if (logging) {
        sent.number = records.load() + 1;
        sent.timeNs = monotonicNs();
        sent.registers = streamRegs;
        sent.badWord = badWord;
        sent.noise = whole != 2 + 2 * streamRegs.size();
        sent.damaged = rec.size() != whole;
        recordLog.add(std::move(sent));
    }
    out.insert(out.end(), rec.begin(), rec.end());
    ++records;
    flushOut();
}

// ---- Control commands ----

std::string Simulator::controlHelp() {
    return "Control commands (one per line):\n"
           "  silent on|off      unplug / plug the electronics\n"
           "  corrupt F          corrupt the checksum of a fraction F (0..1) of replies\n"
           "  drop F             drop a fraction F (0..1) of the bytes sent\n"
           "  noise on|off       noise bytes between frames\n"
           "  slow MS            answer MS milliseconds late\n"
           "  stall on|off       a running stream stops sending records\n"
           "  badword [N]        the next N (default 1) stream records carry a word of 4096 or more\n"
           "  align Q            alignment quality 0..1.5 (1.0 = optimal signal)\n"
           "  distort OX OY RATIO PHASE\n"
           "                     quadrature errors of the adjusted pair: centre offsets OX, OY in % of the\n"
           "                     half range (-100..100), Y/X amplitude RATIO (0..2), PHASE degrees off 90\n"
           "                     (-90..90); distort off removes them\n"
           "  speed CPS          read head speed in counts per second\n"
           "  position N         move the read head to scale position N (counts)\n"
           "  pacing on|off      pace replies at the line rate\n"
           "  latency MS         fixed turnaround added to every reply\n"
           "  badread R [N]      next N (default 1) reads of register R (hex) get a wrong checksum\n"
           "  calfault BITS      next calibration fails with status bits (0x40 GOP, 0x80 index, 0x100 "
           "limits)\n"
           "  reg R V            pin register R (hex) to value V (hex); reg R release\n"
           "  trace on|off       print requests and replies in hex\n"
           "  log on|off|clear   keep (or stop keeping, or empty) the request log\n"
           "  log show           print the request log (kpd-sim)\n"
           "  quit               end the simulator\n";
}

bool Simulator::control(const std::string &line, bool *quit, std::string *error) {
    std::istringstream is(line);
    is.imbue(std::locale::classic());
    std::string cmd, a, b;
    is >> cmd >> a >> b;
    const auto fail = [&](const std::string &why) {
        if (error) *error = why;
        return false;
    };
    const auto onOff = [&](bool &v) {
        if (a == "on" || a == "1")
            v = true;
        else if (a == "off" || a == "0")
            v = false;
        else
            return false;
        return true;
    };
    // A finite number: "nan" and "inf" are no fraction, quality or speed (a NaN passes every range check).
    const auto number = [&](const std::string &s, double &v) {
        const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
        return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size() && std::isfinite(v);
    };
    // Hexadecimal numbers (registers, values, status bits) carry no sign, also not after a "0x" prefix.
    const auto integer = [&](const std::string &s, long long &v, int base) {
        std::string t = s;
        if (base == 16 && t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) t = t.substr(2);
        if (base == 16 && !t.empty() && t[0] == '-') return false;
        const auto r = std::from_chars(t.data(), t.data() + t.size(), v, base);
        return !t.empty() && r.ec == std::errc() && r.ptr == t.data() + t.size();
    };
    if (quit) *quit = false;
    if (cmd.empty()) return true;
    bool flag = false;
    double x = 0;
    long long i = 0;
    if (cmd == "quit" || cmd == "exit") {
        if (quit) *quit = true;
        return true;
    }
    if (cmd == "silent" || cmd == "noise" || cmd == "stall" || cmd == "pacing" || cmd == "trace") {
        if (!onOff(flag)) return fail(cmd + " needs on or off");
        if (cmd == "silent")
            setSilent(flag);
        else if (cmd == "noise")
            setNoise(flag);
        else if (cmd == "stall")
            setStreamStall(flag);
        else if (cmd == "pacing")
            setPacing(flag);
        else
            setTrace(flag);
        return true;
    }
    if (cmd == "log") {
        if (a == "clear") {
            clearRequestLog();
            return true;
        }
        if (a == "show") return fail("log show is printed by kpd-sim");
        if (!onOff(flag)) return fail("log needs on, off or clear");
        setRequestLog(flag);
        return true;
    }
    if (cmd == "corrupt" || cmd == "drop") {
        if (!number(a, x) || x < 0 || x > 1) return fail(cmd + " needs a fraction from 0 to 1");
        if (cmd == "corrupt")
            setCorruptChecksumFraction(x);
        else
            setDropByteFraction(x);
        return true;
    }
    if (cmd == "slow" || cmd == "latency") {
        if (!integer(a, i, 10) || i < 0 || i > 60000)
            return fail(cmd + " needs milliseconds from 0 to 60000");
        if (cmd == "slow")
            setSlowReplyMs(static_cast<int>(i));
        else
            setLatencyMs(static_cast<int>(i));
        return true;
    }
    if (cmd == "align") {
        if (!number(a, x) || x < 0 || x > 2) return fail("align needs a quality from 0 to 2");
        setAlignment(x);
        return true;
    }
    if (cmd == "distort") {
        if (a == "off" && b.empty()) {
            setDistortion(Distortion{});
            return true;
        }
        std::string c, e, extra;
        is >> c >> e >> extra;
        Distortion dist;
        if (!number(a, dist.offsetX) || !number(b, dist.offsetY) || !number(c, dist.ratio) ||
            !number(e, dist.phaseDeg) || !extra.empty() || std::fabs(dist.offsetX) > 100 ||
            std::fabs(dist.offsetY) > 100 || dist.ratio < 0 || dist.ratio > 2 ||
            std::fabs(dist.phaseDeg) > 90)
            return fail(
                "distort needs OX OY (percent, -100..100), RATIO (0..2) and PHASE (degrees, -90..90), "
                "or off");
        setDistortion(dist);
        return true;
    }
    if (cmd == "speed") {
        if (!number(a, x) || x < -1e7 || x > 1e7) return fail("speed needs counts per second");
        setSpeed(x);
        return true;
    }
    if (cmd == "position") {
        if (!integer(a, i, 10)) return fail("position needs a whole number of counts");
        setPosition(i);
        return true;
    }
    if (cmd == "badword") {
        if (a.empty()) {
            i = 1;
        } else if (!integer(a, i, 10) || i < 1 || i > kMaxBadWordRecords || !b.empty()) {
            return fail("badword needs a number of records from 1 to " + std::to_string(kMaxBadWordRecords));
        }
        injectBadWords(static_cast<int>(i));
        return true;
    }
    if (cmd == "badread") {
        long long count = 1;
        if (!integer(a, i, 16) || i < 0 || i > 255) return fail("badread needs a register number 00..FF");
        if (!b.empty() && (!integer(b, count, 10) || count < 1 || count > 1000000))
            return fail("badread needs a number of reads from 1 to 1000000");
        spoilNextReads(static_cast<uint8_t>(i), static_cast<int>(count));
        return true;
    }
    if (cmd == "calfault") {
        if (!integer(a, i, 16) || i < 0 || i > 0xFFFF) return fail("calfault needs hexadecimal status bits");
        setCalibrationFault(static_cast<uint16_t>(i));
        return true;
    }
    if (cmd == "reg") {
        long long v = 0;
        if (!integer(a, i, 16) || i < 0 || i > 255) return fail("reg needs a register number 00..FF");
        if (b == "release") {
            releaseReg(static_cast<uint8_t>(i));
            return true;
        }
        if (!integer(b, v, 16) || v < 0 || v > 0xFFFF) return fail("reg needs a value 0000..FFFF");
        setReg(static_cast<uint8_t>(i), static_cast<uint16_t>(v));
        return true;
    }
    return fail("unknown command: " + cmd);
}

} // namespace kpdsim
