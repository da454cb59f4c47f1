#include "session/PlotOptions.h"

#include "platform/NumberFormat.h"

#include <cmath>
#include <limits>
#include <optional>

namespace kpd {
namespace {

// Firmware versions above this one draw adjustable indicator circles with the wider outer range.
constexpr int kCircleFirmware = 1333;

// Electronics generations from this one on draw adjustable indicator circles whatever the firmware.
constexpr int kCircleGeneration = 3;

constexpr const char *kRangeMinimumText = "Minimum Counts";
constexpr const char *kRangeMaximumText = "Maximum Counts";

std::string Integer(long long value) {
    return std::to_string(value);
}

// truncate() into 32 bits: toward zero, saturating at the ends of the range, 0 for NaN.
int32_t Truncate32(double value) {
    if (std::isnan(value)) return 0;
    const double t = std::trunc(value);
    if (t <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    if (t >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(t);
}

bool FitsInt32(double value) {
    const double t = std::trunc(value);
    return t >= static_cast<double>(std::numeric_limits<int32_t>::min()) &&
           t <= static_cast<double>(std::numeric_limits<int32_t>::max());
}

// A displayed range value converted back to counts: value / (resolution x interpolation), in 32-bit
// float arithmetic, truncated.
int32_t DisplayToCounts(double value, const Settings &settings) {
    float divisor = settings.resolutionMultiplier * settings.interpolationMultiplier;
    if (divisor == 0.0f || !std::isfinite(divisor)) divisor = 1.0f; // scale not computed yet: counts as shown
    const float counts = static_cast<float>(value) / divisor;
    return Truncate32(static_cast<double>(counts));
}

PlotOptionsPage EncoderSignalPage(const Settings &settings, int firmwareVersion) {
    PlotOptionsPage p;
    p.mode = DisplayMode::EncoderSignal;
    p.caption = "Encoder Signal Plot Options";
    p.memo = "Enter the number of points to display in Encoder Signal Plot\n\n Input range: 5 -1000";
    p.displayText = Integer(settings.lissplot);
    p.valueMinimum = 5.0f;
    p.valueMaximum = 1000.0f;
    p.checkText = "Disable Indicator Circle Settings";
    p.checked = !settings.showcircles;

    const float circleMinimum = 0.01f;
    const float circleMaximum = firmwareVersion > kCircleFirmware ? 0.99f : 0.75f;
    p.label1Text = "Min Indicator (" + platform::FormatFixed(circleMinimum, 2) + " to Max)";
    p.label2Text = "Max Indicator (Min to " + platform::FormatFixed(circleMaximum, 2) + ")";
    p.edit1Text = platform::FormatFixed(settings.minimumcircle, 3);
    p.edit2Text = platform::FormatFixed(settings.maximumcircle, 3);

    p.circleControlsEnabled = settings.generation >= kCircleGeneration || firmwareVersion > kCircleFirmware;
    p.checkEnabled = p.circleControlsEnabled;
    p.validateRanges = false;
    p.secondRange = false;
    return p;
}

PlotOptionsPage SignalStrengthPage(const Settings &settings, const PlotScaling &scaling) {
    PlotOptionsPage p;
    p.mode = DisplayMode::SignalStrength;
    p.caption = "Signal Strength Plot Options";
    p.memo = "Enter the number of points to display in Signal Strength Plot\n\n Input range: 100 -10000";
    p.displayText = Integer(settings.signalplot);
    p.valueMinimum = 100.0f;
    p.valueMaximum = 10000.0f;
    p.checkText = "Auto Scale Position";
    p.checked = scaling.strengthAuto;

    p.label1Text = kRangeMinimumText;
    p.label2Text = kRangeMaximumText;
    const PlotRange range = scaling.strengthAuto ? scaling.strengthCurrent : scaling.strengthFixed;
    const double scale = static_cast<double>(settings.interpolationMultiplier) *
                         static_cast<double>(settings.resolutionMultiplier);
    p.edit1Text = platform::FormatFixed(range.lo * scale, settings.digits);
    p.edit2Text = platform::FormatFixed(range.hi * scale, settings.digits);

    p.circleControlsEnabled = true;
    p.checkEnabled = true;
    p.validateRanges = true;
    p.secondRange = false;
    return p;
}

PlotOptionsPage SignalPlotsPage(const Settings &settings, const PlotScaling &scaling) {
    PlotOptionsPage p;
    p.mode = DisplayMode::SignalPlots;
    p.caption = "Encoder Signal Plot Options";
    p.memo = "Enter the Time in seconds to display in Signal Plot\n\n Input range: 1.0 - 65.0";
    p.displayText = platform::FormatGeneral(settings.positionplot, 3);
    p.valueMinimum = 1.0f;
    p.valueMaximum = 65.0f;
    p.checkText = "AutoScale Signals";
    p.checked = scaling.signalAuto;

    p.label1Text = kRangeMinimumText;
    p.label2Text = kRangeMaximumText;
    const PlotRange range = scaling.signalAuto ? scaling.signalCurrent : scaling.signalFixed;
    p.edit1Text = Integer(range.lo);
    p.edit2Text = Integer(range.hi);

    p.circleControlsEnabled = true;
    p.checkEnabled = true;
    p.validateRanges = true;
    p.secondRange = true;
    return p;
}

} // namespace

PlotOptionsPage PreparePlotOptions(DisplayMode mode, const Settings &settings, const PlotScaling &scaling,
                                   int firmwareVersion) {
    switch (mode) {
    case DisplayMode::SignalStrength:
        return SignalStrengthPage(settings, scaling);
    case DisplayMode::SignalPlots:
        return SignalPlotsPage(settings, scaling);
    default:
        return EncoderSignalPage(settings, firmwareVersion);
    }
}

bool ValidatePlotOptions(const PlotOptionsPage &page, const PlotOptionsEntry &entry, int &pendingCount) {
    const std::optional<double> x = platform::ParseDouble(entry.display);
    if (!x) return false;
    if (*x < static_cast<double>(page.valueMinimum) || *x > static_cast<double>(page.valueMaximum))
        return false;

    if (!entry.checked) {
        // The range fields are in use: they must hold numbers. The indicator circles are not range-checked.
        const bool rangeFieldsUsed = page.validateRanges || page.mode == DisplayMode::EncoderSignal;
        if (rangeFieldsUsed) {
            const std::optional<double> a = platform::ParseDouble(entry.edit1);
            const std::optional<double> b = platform::ParseDouble(entry.edit2);
            if (!a || !b) return false;
            if (page.validateRanges && *a > *b) return false;
            // The signal plots take the range as whole counts.
            if (page.mode == DisplayMode::SignalPlots && (!FitsInt32(*a) || !FitsInt32(*b))) return false;
        }
    }

    pendingCount = static_cast<int>(std::trunc(*x));
    return true;
}

void ApplyPlotOptions(const PlotOptionsEntry &entry, int pendingCount, Settings &settings,
                      PlotScaling &scaling) {
    const std::optional<double> a = platform::ParseDouble(entry.edit1);
    const std::optional<double> b = platform::ParseDouble(entry.edit2);
    switch (entry.mode) {
    case DisplayMode::EncoderSignal:
        settings.showcircles = !entry.checked;
        if (settings.showcircles) {
            if (a) settings.minimumcircle = static_cast<float>(*a);
            if (b) settings.maximumcircle = static_cast<float>(*b);
        }
        settings.lissplot = pendingCount;
        break;
    case DisplayMode::SignalStrength:
        scaling.strengthAuto = entry.checked;
        if (!scaling.strengthAuto && a && b)
            scaling.strengthFixed = PlotRange{DisplayToCounts(*a, settings), DisplayToCounts(*b, settings)};
        settings.signalplot = pendingCount;
        break;
    case DisplayMode::SignalPlots:
        scaling.signalAuto = entry.checked;
        if (!scaling.signalAuto && a && b) scaling.signalFixed = PlotRange{Truncate32(*a), Truncate32(*b)};
        if (const std::optional<double> seconds = platform::ParseDouble(entry.display))
            settings.positionplot = static_cast<float>(*seconds);
        break;
    default:
        break;
    }
}

} // namespace kpd
