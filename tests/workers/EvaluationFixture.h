// Shared helpers of the evaluation tests: status words and a sample feeder that evaluates every fourth
// sample the way the status monitor does.
#pragma once

#include "workers/SignalEvaluation.h"

#include <gtest/gtest.h>

#include <string>

namespace kpd::test {

inline std::uint32_t Word(int state, std::uint32_t bits = 0) {
    return status_bits::WithOperatingState(bits, state);
}

inline std::uint32_t ClassBits(SignalClass c) {
    return std::uint32_t(c) << status_bits::kClassShift;
}

class EvaluationTest : public ::testing::Test {
protected:
    SignalEvaluation eval;
    StatusView view;
    bool ticked = false;
    int sampleCounter = 0; // counts samples between evaluations, like the status monitor
    LocalDateTime now{2024, 3, 5, 14, 3, 9};

    // One sample with an explicit evaluate flag.
    void Sample(std::uint32_t word, float magnitude = 100.0f, bool evaluate = false, bool replay = false,
                const std::string &position = "0.00000", const std::string &units = "microns") {
        eval.Evaluate(word, magnitude, evaluate, replay, ticked, position, units, now, view);
    }

    // One sample as the status monitor delivers it: evaluate is true on every fourth sample. The position
    // text carries the running sample number so history lines can be told apart.
    void Stream(std::uint32_t word, float magnitude, bool replay = false) {
        ++sampleCounter;
        bool evaluate = false;
        if (sampleCounter >= 4) {
            evaluate = true;
            sampleCounter = 0;
        }
        ++now.second;
        if (now.second > 59) {
            now.second = 0;
            ++now.minute;
        }
        eval.Evaluate(word, magnitude, evaluate, replay, ticked, "pos" + std::to_string(++streamed), "mm",
                      now, view);
    }
    void Stream(int samples, std::uint32_t word, float magnitude, bool replay = false) {
        for (int i = 0; i < samples; ++i)
            Stream(word, magnitude, replay);
    }
    // Feeds samples until the next one fed is an evaluated one.
    void AlignToEvaluation(std::uint32_t word, float magnitude) {
        while (sampleCounter != 3)
            Stream(word, magnitude);
    }

    int streamed = 0;
};

} // namespace kpd::test
