#include "kpdctl/CalibrationProcedure.h"

namespace kpdctl {

namespace {
constexpr int kComplete = 15;
}

bool CalibrationProcedure::IsCalibrationState(int state) {
    return (state >= 3 && state <= 10) || state == kComplete || (state >= 17 && state <= 19);
}

CalibrationProcedure::Step CalibrationProcedure::OnSample(const DecodedStatus &d) {
    Step step;
    if (finished_) return step;
    const std::string line = StateLine(d);
    if (!haveText_ || line != lastText_) {
        step.textChanged = true;
        step.text = line;
        step.error = d.calibrationError;
        lastText_ = line;
        haveText_ = true;
    }
    if (IsCalibrationState(d.state)) started_ = true;
    if (!started_) return step;

    if (d.calibrationError && !failed_) {
        failed_ = true;
        failure_ = d.calibrationText;
    }
    if (d.setRequested && d.state != setSentState_ && !setPending_) {
        setPending_ = true;
        requestState_ = d.state;
        step.setWanted = true;
    }
    if (!d.setRequested) setPending_ = false;

    if (d.state == kComplete) {
        finished_ = true;
        step.finished = true;
        setPending_ = false;
    } else if (!IsCalibrationState(d.state) && (d.state == 0 || d.state == 1)) {
        finished_ = true;
        step.finished = true;
        setPending_ = false;
        if (!failed_) {
            failed_ = true;
            failure_ = "the electronics left calibration mode before the end";
        }
    }
    return step;
}

} // namespace kpdctl
