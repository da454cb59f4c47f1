// CalibrationProcedure: follows the electronics through a calibration run, sample by sample, and says
// what kpdctl does next: print a changed operating-state text, ask for (or send) Set where the electronics
// show the Set request (states 3 to 5), and end once the electronics report the end (state 15) or leave
// calibration mode. A red text on the way (a GOP, index or limits error) makes the run a failure. Plain
// C++; the decoded samples come from the status monitor with KPD's own evaluation.
#pragma once

#include "kpdctl/StatusDecoding.h"

#include <string>

namespace kpdctl {

class CalibrationProcedure {
public:
    struct Step {
        bool textChanged = false; // print `text`
        std::string text;
        bool error = false;     // the text is an error (shown in red by KPD)
        bool setWanted = false; // a new Set request: ask for it or send it
        bool finished = false;  // the run has ended: send Stop Cal
    };

    Step OnSample(const DecodedStatus &d);
    // Set was sent for the request of the last Step with setWanted.
    void SetSent() {
        setSentState_ = requestState_;
        setPending_ = false;
    }

    bool Started() const { return started_; }
    bool Finished() const { return finished_; }
    // A request for Set is waiting for its answer.
    bool SetPending() const { return setPending_; }
    bool Failed() const { return failed_; }
    // Why the run failed: the red text, or that the electronics left calibration mode.
    const std::string &Failure() const { return failure_; }
    // The last text printed.
    const std::string &LastText() const { return lastText_; }

    static bool IsCalibrationState(int state);

private:
    std::string lastText_;
    bool haveText_ = false;
    bool started_ = false;
    bool finished_ = false;
    bool failed_ = false;
    std::string failure_;
    bool setPending_ = false;
    int requestState_ = -1;
    int setSentState_ = -1;
};

} // namespace kpdctl
