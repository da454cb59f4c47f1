#include "workers/SignalEvaluation.h"

#include <climits>

namespace kpd {

using namespace status_bits;

void SignalEvaluation::Evaluate(std::uint32_t statusWord, float magnitude, bool evaluate, bool replay,
                                bool ticked, const std::string &positionText, const std::string &unitsText,
                                const LocalDateTime &now, StatusView &view) {
    UpdateIndexLamp(statusWord, view);
    UpdateLimitLamps(statusWord, view);
    UpdateStateTexts(statusWord, ticked, view);
    FollowCheckBoxes(ticked, view);
    if (evaluate) EvaluateSignal(statusWord, magnitude, replay, view);
    RecordAlarm(replay, positionText, unitsText, now);
}

void SignalEvaluation::Evaluate(std::uint32_t statusWord, float magnitude, bool evaluate, bool replay,
                                bool ticked, const std::string &positionText, const std::string &unitsText,
                                std::chrono::system_clock::time_point now, StatusView &view) {
    UpdateIndexLamp(statusWord, view);
    UpdateLimitLamps(statusWord, view);
    UpdateStateTexts(statusWord, ticked, view);
    FollowCheckBoxes(ticked, view);
    if (evaluate) EvaluateSignal(statusWord, magnitude, replay, view);
    if (!replay && overSignalCounter_ == 1)
        RecordAlarm(replay, positionText, unitsText, LocalDateTime::FromTimePoint(now));
}

// A short index pulse keeps the lamp lit for at least two more samples.
void SignalEvaluation::UpdateIndexLamp(std::uint32_t statusWord, StatusView &view) {
    const bool seen = (statusWord & kIndexSeen) != 0;
    if (seen) {
        if (!indexLatch_) {
            indexLatch_ = true;
            view.IndexShape = clLime;
            indexHoldCounter_ = 0;
        }
    } else if (indexLatch_) {
        if (indexHoldCounter_ == 1) {
            view.IndexShape = clGray;
            indexLatch_ = false;
            indexHoldCounter_ = 0;
        } else {
            ++indexHoldCounter_;
        }
    }
}

void SignalEvaluation::UpdateLimitLamps(std::uint32_t statusWord, StatusView &view) {
    view.LeftLimitShape = (statusWord & kLeftLimit) ? clBlue : clGray;
    view.RightLimitShape = (statusWord & kRightLimit) ? clRed : clGray;
}

void SignalEvaluation::ShowCalibrationMode(StatusView &view) {
    view.IndexBox = status_text::kCalibration;
    view.ResolutionBoxVisible = true;
    view.StartCalButton.enabled = false;
    view.StopCalButton.enabled = true;
    for (ButtonState *b : {&view.StartAlignButton, &view.StopAlignButton}) {
        b->enabled = false;
        b->visible = false;
        b->raisedBevel = false;
    }
}

void SignalEvaluation::ShowSetButton(bool shown, StatusView &view) {
    view.CalSetButton.visible = shown;
    view.CalSetButton.raisedBevel = shown;
}

// The texts follow the status word only when it changes (or after a layout, which forces a redraw even
// when the new word happens to equal the marker value 99).
void SignalEvaluation::UpdateStateTexts(std::uint32_t statusWord, bool ticked, StatusView &view) {
    if (!forceRedraw_ && statusWord == lastStatusWord_) return;
    const int state = OperatingState(statusWord);
    view.ResolutionBoxFont = clLime;
    switch (state) {
    case 0:
    case 1: {
        view.IndexBox = state == 0 ? status_text::kOperational : status_text::kAlignment;
        view.ResolutionBox.clear();
        view.ResolutionBoxVisible = false;
        view.StartCalButton.enabled = ticked;
        view.StopCalButton.enabled = false;
        view.StartAlignButton = ButtonState{state == 0, true, true};
        view.StopAlignButton = ButtonState{state == 1, true, true};
        ShowSetButton(false, view);
        break;
    }
    case 3:
    case 4:
    case 5:
        ShowCalibrationMode(view);
        view.ResolutionBox = state == 3   ? status_text::kMoveNoLimits
                             : state == 4 ? status_text::kMoveLeftLimit
                                          : status_text::kMoveRightLimit;
        ShowSetButton(true, view);
        break;
    case 6:
        ShowCalibrationMode(view);
        view.ResolutionBox = status_text::kCalculatingLimits;
        ShowSetButton(false, view);
        break;
    case 7:
    case 8:
    case 9:
    case 10:
        ShowCalibrationMode(view);
        view.ResolutionBox = status_text::kMoveOverIndex;
        ShowSetButton(false, view);
        break;
    case 15:
        if (statusWord & kIndexCalError) {
            view.ResolutionBox = status_text::kIndexCalError;
            view.ResolutionBoxFont = clRed;
        } else if (statusWord & kLimitsCalError) {
            view.ResolutionBox = status_text::kLimitsCalError;
            view.ResolutionBoxFont = clRed;
        } else {
            view.ResolutionBox = status_text::kCalComplete;
        }
        ShowSetButton(false, view);
        break;
    case 17:
    case 18:
    case 19:
        ShowCalibrationMode(view);
        if (statusWord & kGopCalError) {
            view.ResolutionBox = status_text::kGopError;
            view.ResolutionBoxFont = clRed;
        } else {
            view.ResolutionBox = status_text::kMoveAnywhere;
        }
        break;
    default: // states without a row leave the texts as they are
        break;
    }
    lastOperatingState_ = state;
    lastStatusWord_ = statusWord;
    forceRedraw_ = false;
}

void SignalEvaluation::FollowCheckBoxes(bool ticked, StatusView &view) {
    if (ticked == lastCheckBoxState_) return;
    lastCheckBoxState_ = ticked;
    if (lastOperatingState_ == 0 || lastOperatingState_ == 1) view.StartCalButton.enabled = ticked;
}

void SignalEvaluation::RaiseOverSignal() {
    if (overSignalCounter_ < INT_MAX) ++overSignalCounter_;
}

static void ShowZone(ZoneMarkers &m, bool green, bool yellow, bool red) {
    m.green = green;
    m.yellow = yellow;
    m.red = red;
    m.darkGreen = false;
}

// Only live samples move the over-signal counter: a replayed over-signal must not leave the counter at 1
// and so log alarm lines against the live samples that follow the replay. The lamp and the zone markers
// still show the replayed signal.
//
// Classified mode (firmware above 1333): the electronics' class decides the zone, and an evaluation that
// does not raise the counter (any class, including "none") sets it back to 0, as the magnitude mode does
// below its over-signal threshold. So one over-signal event adds lines only from its first evaluated
// sample up to the next evaluation, at most four lines, in both modes.
void SignalEvaluation::EvaluateSignal(std::uint32_t statusWord, float magnitude, bool replay,
                                      StatusView &view) {
    ZoneMarkers &m = view.markers;
    bool raised = false;
    if (firmwareVersion_ > kClassifyingFirmware) {
        switch (SignalClassOf(statusWord)) {
        case SignalClass::Green:
            ShowZone(m, true, false, false);
            break;
        case SignalClass::Yellow:
            if (magnitude > kClassifiedOverSignal) {
                raised = true;
                m.red = false;
            } else {
                ShowZone(m, false, true, false);
            }
            break;
        case SignalClass::Red:
            m.green = false;
            m.darkGreen = false;
            m.yellow = false;
            if (magnitude > kClassifiedOverSignal) {
                raised = true;
                m.red = false;
            } else {
                m.red = true;
            }
            break;
        case SignalClass::None:
            break;
        }
    } else {
        if (magnitude > kOverSignal) {
            raised = true;
            view.OverSignalShape = clRed;
        }
        if (magnitude > kTooStrong) {
            view.OverSignalShape = clRed;
            ShowZone(m, false, false, false);
        } else if (magnitude >= kGreenFrom) {
            ShowZone(m, true, false, false);
        } else if (magnitude >= kYellowFrom) {
            ShowZone(m, false, true, false);
        } else {
            ShowZone(m, false, false, true);
        }
    }
    if (replay) return;
    if (raised)
        RaiseOverSignal();
    else
        overSignalCounter_ = 0;
}

void SignalEvaluation::RecordAlarm(bool replay, const std::string &positionText, const std::string &unitsText,
                                   const LocalDateTime &now) {
    if (replay || overSignalCounter_ != 1) return;
    history_.Insert(FormatAlarmLine(positionText, unitsText, now));
}

void SignalEvaluation::ResetAlarms(StatusView &view) {
    view.YellowShape = clGrayText;
    view.RedShape = clGrayText;
    view.OverSignalShape = clGrayText;
}

void SignalEvaluation::ClearHistory(StatusView &view) {
    history_.Clear();
    ResetAlarms(view);
    overSignalCounter_ = 0;
}

void SignalEvaluation::ResetForLayout() {
    lastStatusWord_ = kForceRedraw;
    forceRedraw_ = true;
    lastOperatingState_ = 99;
    indexLatch_ = false;
}

void SignalEvaluation::ResetForLayout(StatusView &view) {
    ResetForLayout();
    indexHoldCounter_ = 0;
    view.IndexShape = clGray;
}

} // namespace kpd
