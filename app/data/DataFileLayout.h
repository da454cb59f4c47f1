// Fixed texts of the four data file formats: first lines (current and older generation) and column lines.
// Every line of a data file ends with CR LF; columns are separated by tabs.
#pragma once

#include <string_view>

namespace DataFileLayout {

constexpr std::string_view LineEnd = "\r\n";
// Longest header line the loader accepts, in characters (line end not counted).
constexpr std::size_t MaxHeaderLine = 79;

// First line by data set number (0 setup and status, 1 encoder signal, 2 signal strength, 3 position and
// velocity). The writers use the current generation; the loader accepts both.
constexpr std::string_view CurrentFirstLine[4] = {"vk2401.1setupandstatus", "vk2401.1encodersignal",
                                                  "vk2401.1signalstrength", "vk2401.1positionvelocity"};
constexpr std::string_view OlderFirstLine[4] = {"vk240setupandstatus", "vk240encodersignal",
                                                "vk240signalstrength", "vk240positionvelocity"};

// Header value lines of kinds 0, 2 and 3; the loader removes the prefixes by length.
constexpr std::string_view UnitsPrefix = "PosUnits=";
constexpr std::string_view ResolutionPrefix = "PositionResMult=";
constexpr std::string_view InterpolationPrefix = "PositionInterpMult=";
// Longest units name a header line holds (70 characters).
constexpr std::size_t MaxUnitsName = MaxHeaderLine - UnitsPrefix.size();

// Column lines by data set number.
constexpr std::string_view ColumnLine[4] = {"Pos\txAD\tyAD\tStatus\tTime", "xAD\tyAD\tMag\tAngle\tTime",
                                            "Pos\txAD\tyAD\tTime", "Pos\t\t\tVel\t\t\tTime"};

// Whether data set `kind` has the three header value lines.
constexpr bool HasHeaderValues(int kind) {
    return kind != 1;
}
// Number of header lines of data set `kind` (first line, header values, column line).
constexpr int HeaderLineCount(int kind) {
    return HasHeaderValues(kind) ? 5 : 2;
}

// Significant digits of the fixed-notation columns; longer values are written in exponent form.
constexpr int IntervalPrecision = 5;
constexpr int VelocityPrecision = 12;
// Decimals of the fixed-notation columns.
constexpr int SetupStatusIntervalDecimals = 4;
constexpr int IntervalDecimals = 5;
constexpr int VelocityDecimals = 8;
// Significant digits of the header multipliers.
constexpr int HeaderValuePrecision = 15;

} // namespace DataFileLayout
