// LissajousFit: the encoder signal's quadrature errors measured from the adjusted pair (XAdcAdj, YAdcAdj)
// by a least-squares ellipse fit (the Heydemann parameters). Plain C++: the window's readout, kpdctl and the
// tests call it alike.
//
// One convention everywhere: with the signal written as X = cx + A cos t and Y = cy + r A sin(t + p), the
// offsets are cx and cy in percent of the half range (2048 ADC steps = 100 %, the plot's own "%" scale),
// the amplitude ratio is r and the phase error is p in degrees (0 = perfect quadrature).
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kpd {

struct LissajousFit {
    bool ok = false;
    std::string reason;          // why there is no fit (only when !ok)
    double offsetXPct = 0.0;     // cx in percent of 2048 ADC steps
    double offsetYPct = 0.0;     // cy in percent of 2048 ADC steps
    double amplitudeRatio = 0.0; // r = Y amplitude / X amplitude
    double phaseErrorDeg = 0.0;  // p in degrees
    double radiusV = 0.0;        // mean distance of the records from the centre, volts (as the circles)
    double ripplePct = 0.0;      // longest minus shortest radius of the fitted ellipse, % of radiusV
    int records = 0;             // records the fit used (also when there is no fit)
};

namespace fit {
// Fewer records than this give no fit.
constexpr int MinimumRecords = 50;
// The window's readout fits the trail, or this many records when the trail is shorter.
constexpr int WindowRecords = 500;
// Records spread less than this (RMS distance from their mean, ADC steps) are all in one place.
constexpr double MinimumSpreadSteps = 4.0;
} // namespace fit

// ADC steps of a 12-bit two's-complement sample word (its low 12 bits): 0x7FF is 2047, 0x800 is -2048.
int AdcSteps(uint16_t word);

// Fits the points (x[i], y[i]) in ADC steps. Too few records, records in one place, on a line, or not on
// an ellipse give no fit with the reason; never NaN.
LissajousFit FitLissajous(std::span<const int> x, std::span<const int> y);

// Fits the `count` records of a ring of sample words (x and y of the same length) that end at ring index
// `newest` (going back across index 0 to the end of the ring).
LissajousFit FitLissajousRing(std::span<const uint16_t> x, std::span<const uint16_t> y, int32_t newest,
                              int32_t count);

} // namespace kpd
