#include "SensorModel.h"

#include <algorithm>
#include <cmath>

namespace kpdsim {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kMagnitudeAtUnity = 150.0; // magnitude at alignment quality 1.0
constexpr double kMagnitudeExponent = 2.7;  // quality 1.5 pushes the magnitude above 430 (over-signal)
// ADC amplitude per magnitude unit. The signal samples are read as n x 2.5 V / 2048, so the edges of the
// green magnitude band (70 and 215) give circles of 0.187 V and 0.575 V, the default indicator circles of
// the signal plot; alignment 1.0 (magnitude 150) gives a circle of about 0.40 V.
constexpr double kAdcPerMagnitude = 2.19;
static_assert(70 * kAdcPerMagnitude * 2.5 / 2048 > 0.1865 && 70 * kAdcPerMagnitude * 2.5 / 2048 < 0.1875);
static_assert(215 * kAdcPerMagnitude * 2.5 / 2048 > 0.5745 && 215 * kAdcPerMagnitude * 2.5 / 2048 < 0.5755);
constexpr int kXOffsetRaw = 40;  // raw channel offsets and gain mismatch, removed in the
constexpr int kYOffsetRaw = -25; // adjusted pair
constexpr double kYGainRaw = 0.93;
// A misaligned read head also moves the centre of the raw pair: this far (ADC steps) per unit of
// alignment quality below 1.0. The adjusted pair stays centred.
constexpr double kXDriftRaw = 260.0;
constexpr double kYDriftRaw = -190.0;
// Signal strength of a polled sample: full scale (721.6) at the top of the green magnitude band.
constexpr double kStrengthFullScale = 721.6;
constexpr double kStrengthPerMagnitude = kStrengthFullScale / 215.0;
constexpr long kStrengthMax = 721;

uint16_t adcWord(double v) {
    long n = std::lround(v);
    n = std::clamp(n, -2048L, 2047L);
    return static_cast<uint16_t>(n & 0x0FFF);
}
} // namespace

SensorModel::SensorModel(const SimOptions &options) : opt_(options) {
    head_ =
        static_cast<double>(std::clamp<int64_t>(opt_.startPosition, 0, std::max<int64_t>(opt_.travel, 1)));
}

void SensorModel::powerOn(int64_t nowNs) {
    regs_.fill(0);
    pinned_.fill(false);
    regs_[reg::GenReg0] = 0x0100;
    regs_[reg::GenReg1] = genReg1PowerOn_;
    regs_[reg::Gain] = 0x0200;
    regs_[reg::XOffset] = static_cast<uint16_t>(-kXOffsetRaw);
    regs_[reg::YOffset] = static_cast<uint16_t>(-kYOffsetRaw);
    regs_[reg::Phase] = 0x0003;
    regs_[reg::IndexAngle] = 0x0040;
    regs_[0x0E] = 0x0081; // WTrim
    regs_[0x10] = 0x0082; // XTrim
    regs_[0x12] = 0x0083; // YTrim
    regs_[0x14] = 0x0084; // ZTrim
    regs_[0x16] = 0x0400; // IndexTrSumTarget
    regs_[0x18] = 0x0C00; // MainVcselLimit
    regs_[0x1A] = 0x0300; // IndexVcselStatic
    regs_[0x1C] = 0x0500; // MainVcselStatic
    regs_[0x22] = 0x0A00; // MainVcselUpper
    regs_[0x24] = 0x0200; // MainVcselLower
    regs_[0x3A] = 0x0123; // Tr3SumA
    regs_[0x3C] = 0x0125; // Tr3SumB
    regs_[reg::IndexDrive] = 0x0280;
    regs_[reg::IndexPosEdge] = 0x0050;
    regs_[reg::IndexNegEdge] = 0x00C0;
    regs_[reg::IndexWidth] = 0x0010;
    regs_[reg::IndexLowLimit] = 0x0020;
    regs_[reg::Settings] = 0x0012; // output frequency code 2, adaptive correction on
    applyIdentity();
    regs_[reg::Config] = opt_.config;
    lastNs_ = nowNs;
    zeroOffset_ = static_cast<int64_t>(std::floor(head_)); // the counter starts at 0 where the head is
    latched_ = false;
    polledLatched_ = false;
    zeroArmed_ = false;
    indexCentred_ = false;
    agcEnabled_ = true;
    state_ = restState_ = opstate::Operational;
    calMask_ = 0;
    errorBits_ = 0;
    phase_ = 0;
}

void SensorModel::applyIdentity() {
    regs_[reg::ElectronicsId] = static_cast<uint16_t>(((opt_.modelCode & 15) << 5) | 0x0003);
    regs_[reg::InterpDepth] = opt_.interpDepth;
    regs_[reg::FirmwareVersion] = opt_.firmwareVersion;
    regs_[reg::SensorType] = opt_.sensorType;
}

void SensorModel::advance(int64_t nowNs) {
    if (nowNs <= lastNs_) return;
    const double dt = static_cast<double>(nowNs - lastNs_) * 1e-9;
    lastNs_ = nowNs;
    const double travel = static_cast<double>(std::max<int64_t>(opt_.travel, 1));
    double remaining = std::fabs(opt_.speed) * dt;
    // Walk the distance, turning at both ends of the scale.
    while (remaining > 0) {
        const double end = direction_ > 0 ? travel : 0.0;
        const double room = std::fabs(end - head_);
        const double step = std::min(room, remaining);
        const double from = head_;
        head_ += direction_ * step;
        onTravel(from, head_);
        remaining -= step;
        if (remaining > 0 || room == 0) direction_ = -direction_;
        if (room == 0 && remaining > 0 && travel <= 0) break;
    }
    if (state_ == opstate::CalCalculating && nowNs - phaseStartNs_ >= kCalculatingNs) nextCalibrationPhase();
}

void SensorModel::setHeadPosition(int64_t counts) {
    const double to = static_cast<double>(std::clamp<int64_t>(counts, 0, std::max<int64_t>(opt_.travel, 1)));
    const double from = head_;
    head_ = to;
    onTravel(from, to);
}

void SensorModel::onTravel(double from, double to) {
    const double idx = static_cast<double>(opt_.indexAt);
    const bool crossed = (from < idx && to >= idx) || (from > idx && to <= idx);
    if (state_ >= opstate::CalIndexFirst && state_ <= opstate::CalIndexLast && crossed) {
        ++indexCrossings_;
        if (state_ < opstate::CalIndexLast) {
            ++state_;
        } else if (indexCrossings_ >= 4) {
            if (calFault_ & 0x80) errorBits_ |= 0x80;
            nextCalibrationPhase();
        }
    }
    if (state_ >= opstate::CalGopFirst && state_ <= opstate::CalGopLast) {
        gopTravel_ += std::fabs(to - from);
        while (gopTravel_ >= kGopStepCounts && state_ >= opstate::CalGopFirst) {
            gopTravel_ -= kGopStepCounts;
            if (state_ < opstate::CalGopLast)
                ++state_;
            else
                nextCalibrationPhase();
        }
    }
}

int32_t SensorModel::counter() const {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(std::floor(head_)) - zeroOffset_));
}

double SensorModel::magnitude() const {
    const double a = std::clamp(opt_.alignment, 0.0, 2.0);
    return kMagnitudeAtUnity * std::pow(a, kMagnitudeExponent);
}

SensorModel::Signals SensorModel::signals() const {
    const double mag = magnitude();
    const double amp = mag * kAdcPerMagnitude;
    const double phi = 2.0 * kPi * std::fmod(head_, kCountsPerPeriod) / kCountsPerPeriod;
    const double c = std::cos(phi), s = std::sin(phi);
    const double lost = std::max(0.0, 1.0 - std::clamp(opt_.alignment, 0.0, 2.0));
    const double xCentre = kXOffsetRaw + kXDriftRaw * lost, yCentre = kYOffsetRaw + kYDriftRaw * lost;
    Signals sig{};
    sig.x = static_cast<int16_t>(std::clamp(std::lround(amp * c + xCentre), -2048L, 2047L));
    sig.y = static_cast<int16_t>(std::clamp(std::lround(amp * kYGainRaw * s + yCentre), -2048L, 2047L));
    // The adjusted pair: centred and round unless a distortion is set (X = cx + A cos t,
    // Y = cy + r A sin(t + p)).
    const Distortion &dist = opt_.distortion;
    const double xAdj = dist.offsetX * 2048.0 / 100.0 + amp * c;
    const double yAdj =
        dist.offsetY * 2048.0 / 100.0 + dist.ratio * amp * std::sin(phi + dist.phaseDeg * kPi / 180.0);
    sig.xAdj = static_cast<int16_t>(std::clamp(std::lround(xAdj), -2048L, 2047L));
    sig.yAdj = static_cast<int16_t>(std::clamp(std::lround(yAdj), -2048L, 2047L));
    sig.magnitude = static_cast<uint16_t>(std::lround(std::min(mag, 65535.0)));
    sig.strength =
        static_cast<uint16_t>(std::clamp(std::lround(mag * kStrengthPerMagnitude), 0L, kStrengthMax));
    return sig;
}

uint16_t SensorModel::atStatus() const {
    uint16_t v = errorBits_;
    v |= static_cast<uint16_t>((state_ & 63) << 10);
    if (std::fabs(head_ - static_cast<double>(opt_.indexAt)) <= kIndexHalfWidth) v |= 0x0001;
    if (head_ <= kLimitZone) v |= 0x0010;
    if (head_ >= static_cast<double>(opt_.travel) - kLimitZone) v |= 0x0020;
    return v;
}

uint16_t SensorModel::status() const {
    // Signal class in bits 6 and 7 (status word bits 22 and 23): 01 green, 11 yellow, 10 red.
    const double m = magnitude();
    uint16_t cls;
    if (m > 215)
        cls = 0x80; // over-signal: red with a high magnitude
    else if (m >= 70)
        cls = 0x40;
    else if (m >= 45)
        cls = 0xC0;
    else
        cls = 0x80;
    return static_cast<uint16_t>((regs_[reg::Status] & ~0x00C0) | cls);
}

bool SensorModel::isLive(uint8_t r) {
    switch (r) {
    case reg::PolledPositionExtra:
    case reg::XAdc:
    case reg::YAdc:
    case reg::XAdcAdj:
    case reg::YAdcAdj:
    case reg::Magnitude:
    case reg::Position64:
    case reg::Status:
    case reg::MainDrive:
    case reg::Position:
    case reg::FringeCount:
    case reg::PolledPositionLow:
    case reg::PolledPositionHigh:
    case reg::PositionLow:
    case reg::PositionHigh:
    case reg::AtStatus:
        return true;
    default:
        return false;
    }
}

uint16_t SensorModel::live(uint8_t r, int32_t snapshot) const {
    const auto u = static_cast<uint32_t>(snapshot);
    switch (r) {
    case reg::XAdc:
        return adcWord(signals().x);
    case reg::YAdc:
        return adcWord(signals().y);
    case reg::XAdcAdj:
        return adcWord(signals().xAdj);
    case reg::YAdcAdj:
        return adcWord(signals().yAdj);
    case reg::Magnitude:
        return signals().magnitude;
    case reg::PolledPositionExtra:
        return signals().strength;
    case reg::Position64:
        return static_cast<uint16_t>(static_cast<uint32_t>(snapshot >> 6) & 0xFFFF);
    case reg::Status:
        return status();
    case reg::AtStatus:
        return atStatus();
    case reg::MainDrive: {
        // With AGC on the drive compensates a weak signal; with AGC off it stays at its static value.
        if (!agcEnabled_ || state_ == opstate::Alignment) return regs_[0x1C];
        const double m = std::max(magnitude(), 1.0);
        return static_cast<uint16_t>(std::clamp(std::lround(0x500 * kMagnitudeAtUnity / m), 0x100L, 0xFFFL));
    }
    case reg::Position:
    case reg::PositionLow:
    case reg::PolledPositionLow:
        return static_cast<uint16_t>(u & 0xFFFF);
    case reg::PositionHigh:
    case reg::PolledPositionHigh:
        return static_cast<uint16_t>(u >> 16);
    case reg::FringeCount:
        return static_cast<uint16_t>(static_cast<uint32_t>(snapshot / kCountsPerPeriod) & 0xFFFF);
    default:
        return regs_[r];
    }
}

uint16_t SensorModel::peek(uint8_t r) const {
    if (pinned_[r]) return regs_[r];
    if (isLive(r))
        return live(r, latched_ && (r == reg::PositionLow || r == reg::PositionHigh) ? latch_ : counter());
    return regs_[r];
}

void SensorModel::pin(uint8_t r, uint16_t v) {
    regs_[r] = v;
    if (isLive(r)) pinned_[r] = true;
    if (r == reg::ElectronicsId) opt_.modelCode = (v >> 5) & 15;
}

void SensorModel::unpin(uint8_t r) {
    pinned_[r] = false;
    if (r == reg::Status) regs_[r] = 0;
}

uint16_t SensorModel::read(uint8_t r, uint8_t modifier) {
    if (pinned_[r]) return regs_[r];
    switch (r) {
    case reg::Position: // snapshot read: latches the counter for the two halves that follow
        latch_ = counter();
        latched_ = true;
        return static_cast<uint16_t>(static_cast<uint32_t>(latch_) & 0xFFFF);
    case reg::PositionLow:
        if (modifier == 2 || !latched_) {
            latch_ = counter();
            latched_ = true;
        }
        return static_cast<uint16_t>(static_cast<uint32_t>(latch_) & 0xFFFF);
    case reg::PositionHigh:
        if (!latched_) return live(r, counter());
        return static_cast<uint16_t>(static_cast<uint32_t>(latch_) >> 16);
    case reg::PositionRelease:
        latched_ = false;
        return 0;
    case reg::PolledPositionLow: // a polled sample: the high half that follows belongs to this low half
        polledLatch_ = counter();
        polledLatched_ = true;
        return static_cast<uint16_t>(static_cast<uint32_t>(polledLatch_) & 0xFFFF);
    case reg::PolledPositionHigh:
        if (!polledLatched_) return live(r, counter());
        return static_cast<uint16_t>(static_cast<uint32_t>(polledLatch_) >> 16);
    case reg::PolledPositionCheck: // ends the polled sample
        polledLatched_ = false;
        return regs_[r];
    default:
        return isLive(r) ? live(r, counter()) : regs_[r];
    }
}

uint16_t SensorModel::streamValue(uint8_t r, int32_t snapshot) {
    if (pinned_[r]) return regs_[r];
    return isLive(r) ? live(r, snapshot) : regs_[r];
}

void SensorModel::write(uint8_t r, uint16_t value, uint8_t modifier) {
    switch (r) {
    case reg::Command:
        regs_[r] = value;
        command(value);
        return;
    case reg::GenReg1:
        // Settings word: bits 8..15 do not exist. Modifier 0x10 makes it the power-on value as well.
        regs_[r] = value & 0x00FF;
        if (modifier == 0x10) genReg1PowerOn_ = regs_[r];
        return;
    case reg::PositionRelease:
        latched_ = false;
        return;
    default:
        if (isLive(r) && !pinned_[r]) return; // measured values cannot be written
        regs_[r] = value;
        if (r == reg::ElectronicsId) opt_.modelCode = (value >> 5) & 15;
        if (r == reg::InterpDepth) opt_.interpDepth = value;
        if (r == reg::SensorType) opt_.sensorType = value;
        if (r == reg::FirmwareVersion) opt_.firmwareVersion = value;
        return;
    }
}

void SensorModel::legacyGenRegWrite(uint8_t lowByte) {
    regs_[reg::GenReg1] = lowByte;
}

uint32_t SensorModel::legacyRead(uint16_t selector) {
    const int32_t c = counter();
    const auto u = static_cast<uint32_t>(c);
    switch (selector >> 8) {
    case 0x40:
        return atStatus();
    case 0x41:
        return opt_.mspVersion;
    case 0x42:
        return live(reg::YAdc, c);
    case 0x43:
        return live(reg::XAdc, c);
    case 0x44:
        return signals().magnitude;
    case 0x45: {
        const Signals s = signals();
        const double ang = std::atan2(static_cast<double>(s.yAdj), static_cast<double>(s.xAdj));
        return static_cast<uint16_t>(std::lround((ang < 0 ? ang + 2 * kPi : ang) / (2 * kPi) * 65536.0) &
                                     0xFFFF);
    }
    case 0x46:
        return u & 0x0FFF;
    case 0x07:
        return (u >> 12) & 0x0FFF;
    case 0x08:
        return (u >> 24) & 0xFF;
    case 0x49:
        return regs_[reg::IndexPosEdge];
    case 0x4C:
        return regs_[reg::IndexNegEdge];
    case 0x4F:
        return regs_[reg::Settings];
    case 0x50:
        return regs_[reg::InterpDepth];
    case 0x51:
        return regs_[reg::IndexAngle];
    case 0x52:
    case 0x54:
        return regs_[reg::Gain];
    case 0x53:
        return regs_[reg::XOffset];
    case 0x55:
        return regs_[reg::YOffset];
    case 0x56:
        return regs_[reg::Phase];
    default:
        return 0;
    }
}

void SensorModel::command(uint16_t code) {
    const bool wasArmed = zeroArmed_;
    zeroArmed_ = false;
    switch (code & 0xFF) {
    case 0x02:
        zeroArmed_ = true; // zeroing takes effect on the 0x04 that follows
        return;
    case 0x04:
        if (wasArmed) {
            zeroOffset_ = static_cast<int64_t>(std::floor(head_));
            latched_ = false;
            polledLatched_ = false;
        }
        return;
    case 0x14: { // centre the index pulse within the index mark
        const uint16_t w = static_cast<uint16_t>(regs_[reg::IndexNegEdge] - regs_[reg::IndexPosEdge]);
        regs_[reg::IndexPosEdge] = static_cast<uint16_t>(0x80 - w / 2);
        regs_[reg::IndexNegEdge] = static_cast<uint16_t>(0x80 + w / 2);
        indexCentred_ = true;
        return;
    }
    case 0x40:
        startCalibration(static_cast<uint16_t>(code >> 8));
        return;
    case 0x41:
        if (state_ != opstate::Operational && state_ != opstate::Alignment) state_ = restState_;
        errorBits_ = 0;
        phase_ = 0;
        return;
    case 0x42: // Set: advances the limit calibration
        if (state_ == opstate::CalNoLimits || state_ == opstate::CalLeftLimit) {
            ++state_;
        } else if (state_ == opstate::CalRightLimit) {
            state_ = opstate::CalCalculating;
            phaseStartNs_ = lastNs_;
        }
        return;
    case 0x43:
        if (state_ == opstate::Operational || state_ == opstate::Alignment) state_ = opstate::Alignment;
        restState_ = opstate::Alignment;
        return;
    case 0x44:
        if (state_ == opstate::Operational || state_ == opstate::Alignment) state_ = opstate::Operational;
        restState_ = opstate::Operational;
        return;
    case 0x45:
        agcEnabled_ = false;
        return;
    case 0x46:
        agcEnabled_ = true;
        return;
    default:
        return;
    }
}

void SensorModel::startCalibration(uint16_t mask) {
    if (state_ == opstate::Operational || state_ == opstate::Alignment) restState_ = state_;
    calMask_ = mask & 0x1E;
    errorBits_ = 0;
    phase_ = 0;
    nextCalibrationPhase();
}

void SensorModel::nextCalibrationPhase() {
    // Leaving the limits phase: the limit result is known.
    if (phase_ == 1 && (calFault_ & 0x100)) errorBits_ |= 0x100;
    ++phase_;
    if (phase_ == 1 && !(calMask_ & 0x0C)) ++phase_;
    if (phase_ == 2 && !(calMask_ & 0x02)) ++phase_;
    if (phase_ == 3 && !(calMask_ & 0x10)) ++phase_;
    switch (phase_) {
    case 1:
        state_ = opstate::CalNoLimits;
        break;
    case 2:
        state_ = opstate::CalIndexFirst;
        indexCrossings_ = 0;
        break;
    case 3:
        state_ = opstate::CalGopFirst;
        gopTravel_ = 0;
        if (calFault_ & 0x40) errorBits_ |= 0x40;
        break;
    default:
        phase_ = 4;
        state_ = opstate::CalComplete;
        break;
    }
    phaseStartNs_ = lastNs_;
}

} // namespace kpdsim
