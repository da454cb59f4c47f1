#include "data/DataFileWriter.h"

#include "data/DataFileLayout.h"
#include "data/DataNumberFormat.h"
#include "data/RingArithmetic.h"

#include <charconv>
#include <cstdint>

namespace DataFileWriter {

namespace {

using DataNumberFormat::FormatFixed;
using DataNumberFormat::FormatGeneral;

void AppendLine(std::string &text, std::string_view line) {
    text += line;
    text += DataFileLayout::LineEnd;
}

template <typename Integer> void AppendInteger(std::string &text, Integer value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, result.ptr);
}

// What a header line holds of a units name: the name up to its first line break, at most MaxUnitsName
// characters. The loader reads it back exactly.
std::string_view WritableUnitsName(std::string_view units) {
    units = units.substr(0, units.find_first_of("\r\n"));
    return units.substr(0, DataFileLayout::MaxUnitsName);
}

// First line, the three header value lines of kinds 0, 2 and 3, and the column line.
std::string Header(int kind, const DataFileHeader *header) {
    std::string text;
    AppendLine(text, DataFileLayout::CurrentFirstLine[kind]);
    if (header != nullptr) {
        // The multipliers take at most 21 characters ("-3.40282346638529E+38"): the lines stay short.
        AppendLine(text, std::string(DataFileLayout::UnitsPrefix) +
                             std::string(WritableUnitsName(header->unitsName)));
        AppendLine(text,
                   std::string(DataFileLayout::ResolutionPrefix) +
                       FormatGeneral(header->resolutionMultiplier, DataFileLayout::HeaderValuePrecision));
        AppendLine(text,
                   std::string(DataFileLayout::InterpolationPrefix) +
                       FormatGeneral(header->interpolationMultiplier, DataFileLayout::HeaderValuePrecision));
    }
    AppendLine(text, DataFileLayout::ColumnLine[kind]);
    return text;
}

// Calls appendRecord(text, index) for each saved record, oldest first.
template <typename Set, typename AppendRecord>
std::string WithRecords(std::string text, const Set &set, std::size_t bytesPerRecord,
                        AppendRecord appendRecord) {
    const auto range = RingArithmetic::SavedRecords(set.count.load(), set.wrapped.load(), Set::Capacity);
    text.reserve(text.size() + static_cast<std::size_t>(range.size) * bytesPerRecord);
    int32_t index = range.first;
    for (int32_t n = 0; n < range.size; ++n) {
        appendRecord(text, index);
        text += DataFileLayout::LineEnd;
        index = RingArithmetic::Successor(index, Set::Capacity);
    }
    return text;
}

} // namespace

std::string SetupStatusText(const SetupStatusDataSet &set, const DataFileHeader &header) {
    return WithRecords(Header(SetupStatusSet, &header), set, 48, [&set](std::string &text, int32_t i) {
        const auto slot = static_cast<std::size_t>(i);
        AppendInteger(text, set.position[slot]);
        text += '\t';
        AppendInteger(text, set.xAD[slot]);
        text += '\t';
        AppendInteger(text, set.yAD[slot]);
        text += '\t';
        AppendInteger(text, static_cast<int32_t>(set.status[slot])); // the status word as a signed number
        text += '\t';
        text += FormatFixed(set.interval[slot], DataFileLayout::SetupStatusIntervalDecimals,
                            DataFileLayout::IntervalPrecision);
    });
}

std::string EncoderSignalText(const EncoderSignalDataSet &set) {
    return WithRecords(Header(EncoderSignalSet, nullptr), set, 36, [&set](std::string &text, int32_t i) {
        const auto slot = static_cast<std::size_t>(i);
        AppendInteger(text, set.w1[slot]);
        text += '\t';
        AppendInteger(text, set.w2[slot]);
        text += '\t';
        AppendInteger(text, set.w3[slot]);
        text += '\t';
        AppendInteger(text, set.w4[slot]);
        text += '\t';
        text += FormatFixed(set.interval[slot], DataFileLayout::IntervalDecimals,
                            DataFileLayout::IntervalPrecision);
    });
}

std::string SignalStrengthText(const SignalStrengthDataSet &set, const DataFileHeader &header) {
    return WithRecords(Header(SignalStrengthSet, &header), set, 36, [&set](std::string &text, int32_t i) {
        const auto slot = static_cast<std::size_t>(i);
        AppendInteger(text, set.a[slot]);
        text += '\t';
        AppendInteger(text, set.b[slot]);
        text += '\t';
        AppendInteger(text, set.c[slot]);
        text += '\t';
        text += FormatFixed(set.interval[slot], DataFileLayout::IntervalDecimals,
                            DataFileLayout::IntervalPrecision);
    });
}

std::string PositionVelocityText(const PositionVelocityDataSet &set, const DataFileHeader &header) {
    return WithRecords(Header(PositionVelocitySet, &header), set, 48, [&set](std::string &text, int32_t i) {
        const auto slot = static_cast<std::size_t>(i);
        const auto before = text.size();
        AppendInteger(text, set.position[slot]);
        // Short positions get a third tab so that the columns line up.
        text += (text.size() - before < 6) ? "\t\t\t" : "\t\t";
        text += FormatFixed(set.velocity[slot], DataFileLayout::VelocityDecimals,
                            DataFileLayout::VelocityPrecision);
        text += "\t\t";
        text += FormatFixed(set.interval[slot], DataFileLayout::IntervalDecimals,
                            DataFileLayout::IntervalPrecision);
    });
}

} // namespace DataFileWriter
