// A window stand-in that records what the status monitor shows. All calls arrive on the user-interface
// thread (the test's main thread), so plain members suffice.
#pragma once

#include "workers/StatusSink.h"

#include <cstdint>
#include <functional>
#include <vector>

struct ShownSample {
    int32_t position = 0;
    float magnitude = 0.0f;
    uint32_t statusWord = 0;
    uint16_t genReg1 = 0;
    float elapsed = 0.0f;
    bool replay = false;
    bool evaluate = false;
};

class RecordingSink : public kpd::StatusSink {
public:
    void UpdateStatusDisplay(int32_t position, float magnitude, uint32_t statusWord, uint16_t genReg1,
                             float elapsed, bool replay, bool evaluate) override {
        samples.push_back({position, magnitude, statusWord, genReg1, elapsed, replay, evaluate});
        if (onSample) onSample();
    }
    void ShowElapsedTime(float seconds) override { shownTimes.push_back(seconds); }
    void StopAfterReplay() override { ++stopAfterReplay; }
    void ReportLinkFailure() override { ++linkFailures; }

    std::function<void()> onSample; // runs after each sample is recorded (a window doing its work)
    std::vector<ShownSample> samples;
    std::vector<float> shownTimes;
    int stopAfterReplay = 0;
    int linkFailures = 0;
};
