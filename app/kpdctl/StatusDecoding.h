// StatusDecoding: one status sample as KPD's status display shows it, taken from the status view that
// the signal evaluation has just updated (lamps, texts, zone markers) and the sample's own values, and its
// text line and JSON object. Plain C++.
#pragma once

#include "workers/StatusView.h"

#include <QJsonObject>

#include <cstdint>
#include <string>

namespace kpdctl {

// The zone whose markers are shown beside the signal bar.
enum class Zone { None, Green, Yellow, Red };

struct DecodedStatus {
    long long sample = 0; // 1 for the first sample shown
    float elapsed = 0.0f; // recording time, seconds
    int32_t counts = 0;   // position relative to the zero offset
    double position = 0.0;
    std::string positionText; // as EncoderPositionText shows it
    std::string units;
    uint32_t statusWord = 0;
    int state = 0;                 // operating state, status bits 10..15
    std::string stateText;         // IndexBox, without its leading blank
    std::string calibrationText;   // ResolutionBox while shown, without its leading blank; else ""
    bool calibrationError = false; // the calibration text is shown in red
    bool setRequested = false;     // the Set button is shown
    bool index = false;            // index lamp lit
    bool leftLimit = false;
    bool rightLimit = false;
    float magnitude = 0.0f;
    Zone zone = Zone::None;
    bool overSignal = false; // over-signal lamp red (it stays red for the rest of the run)
    bool evaluated = false;  // the signal evaluation ran for this sample
};

// Builds the decoded sample from the status view and the sample's values.
DecodedStatus Decode(const kpd::StatusView &view, uint32_t statusWord, float magnitude);

const char *ZoneName(Zone zone);
// The operating state as one text: "Operational mode (AGC on)", or "Calibration mode: Move to LEFT
// LIMIT, click SET" while a calibration text is shown.
std::string StateLine(const DecodedStatus &d);
std::string StatusText(const DecodedStatus &d);
QJsonObject StatusJson(const DecodedStatus &d);

// A display text without its leading and trailing blanks.
std::string Trimmed(const std::string &text);

} // namespace kpdctl
