// Turns each status sample into what the status display shows: index and limit lamps, operating-state
// texts and calibration buttons, the signal-bar zone markers, the over-signal lamp and the alarm history.
// Runs on the user-interface thread only (inside the main window's UpdateStatusDisplay).
//
// Use from the main window: keep one SignalEvaluation and one StatusView; call SetFirmwareVersion after
// identifying the electronics; for each sample, after the time and position texts, call Evaluate with the
// four check boxes' "any ticked" and the texts of EncoderPositionText and UnitsBox, then apply the view to
// the widgets. The layout of the status display calls ResetForLayout, Reset/Acquire/View call ResetAlarms,
// the history window's Clear History calls ClearHistory and shows History().Snapshot().
#pragma once

#include "workers/AlarmHistory.h"
#include "workers/AlarmLine.h"
#include "workers/StatusView.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace kpd {

// Bits of the 32-bit status word (AtStatus in the low half, Status in the high half).
namespace status_bits {
inline constexpr std::uint32_t kIndexSeen = 1u << 0;
inline constexpr std::uint32_t kLeftLimit = 1u << 4;
inline constexpr std::uint32_t kRightLimit = 1u << 5;
inline constexpr std::uint32_t kGopCalError = 1u << 6;
inline constexpr std::uint32_t kIndexCalError = 1u << 7;
inline constexpr std::uint32_t kLimitsCalError = 1u << 8;
inline constexpr int kStateShift = 10; // operating state in bits 10..15
inline constexpr std::uint32_t kStateMask = 0x3Fu;
inline constexpr int kClassShift = 22; // signal class in bits 22..23 (bit 22 is the lower bit)
inline constexpr std::uint32_t kClassMask = 0x3u;

constexpr int OperatingState(std::uint32_t word) {
    return int((word >> kStateShift) & kStateMask);
}
constexpr std::uint32_t WithOperatingState(std::uint32_t word, int state) {
    return (word & ~(kStateMask << kStateShift)) | ((std::uint32_t(state) & kStateMask) << kStateShift);
}
} // namespace status_bits

// Signal class reported by the electronics (status bits 22 and 23).
enum class SignalClass { None = 0, Green = 1, Red = 2, Yellow = 3 };

constexpr SignalClass SignalClassOf(std::uint32_t word) {
    return SignalClass((word >> status_bits::kClassShift) & status_bits::kClassMask);
}

// The status texts of the operating states.
namespace status_text {
inline constexpr const char *kOperational = " Operational mode (AGC on)";
inline constexpr const char *kAlignment = " Alignment mode (AGC off)";
inline constexpr const char *kCalibration = " Calibration mode";
inline constexpr const char *kMoveNoLimits = " Move to No Limits, click SET";
inline constexpr const char *kMoveLeftLimit = " Move to LEFT LIMIT, click SET";
inline constexpr const char *kMoveRightLimit = " Move to RIGHT LIMIT, click SET";
inline constexpr const char *kCalculatingLimits = " Calculating Limits";
inline constexpr const char *kMoveOverIndex = " Move back and forth over INDEX";
inline constexpr const char *kIndexCalError = " Index Calibration Error";
inline constexpr const char *kLimitsCalError = " Limits Calibration Error";
inline constexpr const char *kCalComplete = " Calibration Complete";
inline constexpr const char *kGopError = " Calibrating GOP, Error";
inline constexpr const char *kMoveAnywhere = " Move back and forth anywhere";
} // namespace status_text

class SignalEvaluation {
public:
    // Magnitude thresholds. Firmware up to kClassifyingFirmware uses the magnitude thresholds; later
    // firmware classifies the signal itself and only the over-signal threshold applies.
    static constexpr int kClassifyingFirmware = 1333; // versions above this classify
    static constexpr float kOverSignal = 430.0f;      // above: over-signal event
    static constexpr float kTooStrong = 215.0f;       // above: lamp red, no zone
    static constexpr float kGreenFrom = 70.0f;        // at or above: green zone
    static constexpr float kYellowFrom = 45.0f;       // at or above: yellow zone, below: red zone
    static constexpr float kClassifiedOverSignal = 117.0f;

    // The status-word value that marks "redraw every text with the next sample".
    static constexpr std::uint32_t kForceRedraw = 99;

    // One status sample, steps 2 to 7 in order (step 1, "ticked", is read by the caller: at least one of
    // the four calibration check boxes is ticked). evaluate is true on every fourth sample, replay for a
    // replayed sample. positionText and unitsText are the current texts of EncoderPositionText and
    // UnitsBox; now is the local time used for an alarm line.
    void Evaluate(std::uint32_t statusWord, float magnitude, bool evaluate, bool replay, bool ticked,
                  const std::string &positionText, const std::string &unitsText, const LocalDateTime &now,
                  StatusView &view);
    // The same with a clock reading; it is turned into local time only when an alarm line is written.
    void Evaluate(std::uint32_t statusWord, float magnitude, bool evaluate, bool replay, bool ticked,
                  const std::string &positionText, const std::string &unitsText,
                  std::chrono::system_clock::time_point now, StatusView &view);

    // The individual steps, in the order Evaluate runs them.
    void UpdateIndexLamp(std::uint32_t statusWord, StatusView &view);                              // step 2
    void UpdateLimitLamps(std::uint32_t statusWord, StatusView &view);                             // step 3
    void UpdateStateTexts(std::uint32_t statusWord, bool ticked, StatusView &view);                // step 4
    void FollowCheckBoxes(bool ticked, StatusView &view);                                          // step 5
    void EvaluateSignal(std::uint32_t statusWord, float magnitude, bool replay, StatusView &view); // step 6
    void RecordAlarm(bool replay, const std::string &positionText, const std::string &unitsText,
                     const LocalDateTime &now); // step 7

    // Reset alarms: the three alarm lamps take the disabled-text grey; the over-signal counter stays.
    void ResetAlarms(StatusView &view);
    // Clear History: empties the list, greys the alarm lamps and sets the over-signal counter to 0.
    void ClearHistory(StatusView &view);
    // The status layout: the next sample redraws every text; the index latch is cleared.
    void ResetForLayout();
    // As above, and the index lamp is shown grey so a lamp lit before the layout cannot stay lit.
    void ResetForLayout(StatusView &view);
    // The centre-index command sets the hold counter to 0.
    void SetIndexHoldCounter(int value) { indexHoldCounter_ = value; }
    void SetFirmwareVersion(int version) { firmwareVersion_ = version; }

    int FirmwareVersion() const { return firmwareVersion_; }
    bool IndexLatch() const { return indexLatch_; }
    int IndexHoldCounter() const { return indexHoldCounter_; }
    // The status word whose texts are shown; kForceRedraw after a layout until the next sample.
    std::uint32_t LastStatusWord() const { return forceRedraw_ ? kForceRedraw : lastStatusWord_; }
    // State of the last shown status word; 99 after a layout until the next sample.
    int LastOperatingState() const { return lastOperatingState_; }
    int OverSignalCounter() const { return overSignalCounter_; }
    bool LastCheckBoxState() const { return lastCheckBoxState_; }

    AlarmHistory &History() { return history_; }
    const AlarmHistory &History() const { return history_; }

private:
    void RaiseOverSignal();
    static void ShowCalibrationMode(StatusView &view);
    static void ShowSetButton(bool shown, StatusView &view);

    bool indexLatch_ = false;
    int indexHoldCounter_ = 0;
    std::uint32_t lastStatusWord_ = kForceRedraw;
    bool forceRedraw_ = true;
    int lastOperatingState_ = 99;
    int overSignalCounter_ = 0;
    bool lastCheckBoxState_ = false;
    int firmwareVersion_ = 0;
    AlarmHistory history_;
};

} // namespace kpd
