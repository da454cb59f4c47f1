#include "data/DataFileWriter.h"

#include "data/DataFileLayout.h"
#include "data/DataFileSaveError.h"
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

void AppendHeaderLine(std::string &text, std::string_view prefix, std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos)
        throw DataFileSaveError("header value contains a line break");
    if (prefix.size() + value.size() > DataFileLayout::MaxHeaderLine)
        throw DataFileSaveError("header line longer than " + std::to_string(DataFileLayout::MaxHeaderLine) +
                                " characters: " + std::string(prefix) + std::string(value));
    text += prefix;
    text += value;
    text += DataFileLayout::LineEnd;
}

// First line, the three header value lines of kinds 0, 2 and 3, and the column line.
std::string Header(int kind, const DataFileHeader *header) {
    std::string text;
    AppendLine(text, DataFileLayout::CurrentFirstLine[kind]);
    if (header != nullptr) {
        AppendHeaderLine(text, DataFileLayout::UnitsPrefix, header->unitsName);
        AppendHeaderLine(text, DataFileLayout::ResolutionPrefix,
                         FormatGeneral(header->resolutionMultiplier, DataFileLayout::HeaderValuePrecision));
        AppendHeaderLine(
            text, DataFileLayout::InterpolationPrefix,
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
