// The electronics' register file and the physics behind it: a read head travelling back and forth along a
// scale, the sine/cosine channels it produces, the index mark and limit switches, the operating state with
// its calibration sequence, and the command register. Not thread-safe: the Simulator serialises access.
#ifndef KPDSIM_SENSORMODEL_H
#define KPDSIM_SENSORMODEL_H

#include "kpdsim/Simulator.h"

#include <array>
#include <cstdint>

namespace kpdsim {

namespace reg {
constexpr uint8_t GenReg0 = 0x00, GenReg1 = 0x02, Gain = 0x04, XOffset = 0x06, YOffset = 0x08, Phase = 0x0A,
                  IndexAngle = 0x0C, InterpDepth = 0x1E, ElectronicsId = 0x20, PolledPositionExtra = 0x26,
                  PolledPositionCheck = 0x28, FirmwareVersion = 0x30, XAdc = 0x32, YAdc = 0x34,
                  XAdcAdj = 0x36, YAdcAdj = 0x38, Magnitude = 0x3E, Position64 = 0x40, Status = 0x42,
                  MainDrive = 0x44, IndexDrive = 0x46, IndexPosEdge = 0x48, IndexNegEdge = 0x4A,
                  Position = 0x4C, FringeCount = 0x4E, PolledPositionLow = 0x69, PolledPositionHigh = 0x6A,
                  Command = 0x80, Config = 0x82, PositionRelease = 0x84, PositionLow = 0x85,
                  PositionHigh = 0x86, IndexWidth = 0x90, SensorType = 0x91, AtStatus = 0x92,
                  IndexLowLimit = 0x93, Settings = 0x94;
} // namespace reg

// Operating states reported in status bits 10..15.
namespace opstate {
constexpr int Operational = 0, Alignment = 1, CalNoLimits = 3, CalLeftLimit = 4, CalRightLimit = 5,
              CalCalculating = 6, CalIndexFirst = 7, CalIndexLast = 10, CalComplete = 15, CalGopFirst = 17,
              CalGopLast = 19;
}

class SensorModel {
public:
    static constexpr int kCountsPerPeriod = 4096; // counts per sine period of the scale
    static constexpr int kLimitZone = 2000;       // length of each limit zone at the scale ends, counts
    static constexpr int kIndexHalfWidth = 150;   // index mark half width, counts
    static constexpr int kGopStepCounts = 3000;   // travel per GOP calibration step
    static constexpr int64_t kCalculatingNs = 400000000; // time spent in "calculating limits"

    explicit SensorModel(const SimOptions &options);

    // Returns every register to its power-on value (identity from the options), zeroes the counter and
    // leaves the head where it is. Used at start and by the software reset.
    void powerOn(int64_t nowNs);

    // Moves the head to the given time (monotonic nanoseconds) and steps timed calibration states.
    void advance(int64_t nowNs);

    // Register access as seen over the link (after advance()). modifier is the address word's top byte.
    uint16_t read(uint8_t r, uint8_t modifier);
    void write(uint8_t r, uint16_t value, uint8_t modifier);
    // Value of a register for a stream record; all registers of one record share one position snapshot.
    uint16_t streamValue(uint8_t r, int32_t snapshot);
    // Legacy selector read (selector high byte = legacy register number).
    uint32_t legacyRead(uint16_t selector);
    void legacyGenRegWrite(uint8_t lowByte);

    // Direct access for the API: value without read side effects; pinning overrides a live register.
    uint16_t peek(uint8_t r) const;
    void pin(uint8_t r, uint16_t v);
    void unpin(uint8_t r);

    SimOptions &options() { return opt_; }
    void applyIdentity(); // re-applies identity options to the identity registers

    void setSpeed(double cps) { opt_.speed = cps; }
    void setAlignment(double a) { opt_.alignment = a; }
    void setDistortion(const Distortion &d) { opt_.distortion = d; }
    void setHeadPosition(int64_t counts);
    int64_t headPosition() const { return static_cast<int64_t>(head_); }
    int32_t counter() const;
    double magnitude() const;
    int operatingState() const { return state_; }
    void setCalibrationFault(uint16_t bits) { calFault_ = bits & 0x01C0; }
    uint16_t lastCommand() const { return regs_[reg::Command]; }

private:
    struct Signals {
        int16_t x, y, xAdj, yAdj;
        uint16_t magnitude;
        uint16_t strength; // signal strength of a polled sample, 0..721
    };
    Signals signals() const;
    uint16_t atStatus() const;
    uint16_t status() const;
    uint16_t live(uint8_t r, int32_t snapshot) const;
    static bool isLive(uint8_t r);
    void command(uint16_t code);
    void startCalibration(uint16_t mask);
    void nextCalibrationPhase(); // leaves the current phase and enters the next selected one
    void onTravel(double from, double to);

    SimOptions opt_;
    std::array<uint16_t, 256> regs_{};
    std::array<bool, 256> pinned_{};
    double head_ = 0;
    int direction_ = 1;
    int64_t lastNs_ = 0;
    int64_t zeroOffset_ = 0;
    bool latched_ = false;
    int32_t latch_ = 0;
    bool polledLatched_ = false; // polled sample: counter taken by the low half, read by the high half
    int32_t polledLatch_ = 0;
    bool zeroArmed_ = false;
    bool indexCentred_ = false;
    bool agcEnabled_ = true;
    uint16_t genReg1PowerOn_ = 0x0010; // GenReg1 after power-on; stored by a write with modifier 0x10
    // Operating state and calibration progress.
    int state_ = opstate::Operational;
    int restState_ = opstate::Operational; // state to return to after calibration
    uint16_t calMask_ = 0;
    uint16_t calFault_ = 0;
    uint16_t errorBits_ = 0;
    int phase_ = 0;            // 0 none, 1 limits, 2 index, 3 GOP, 4 done
    int64_t phaseStartNs_ = 0; // for timed states
    int indexCrossings_ = 0;
    double gopTravel_ = 0;
};

} // namespace kpdsim

#endif // KPDSIM_SENSORMODEL_H
