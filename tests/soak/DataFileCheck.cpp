#include "DataFileCheck.h"

#include "data/DataFileLayout.h"
#include "data/RingArithmetic.h"

#include <cmath>
#include <cstdio>

namespace soak {

namespace {

// Precision of a float column: decimals and significant digits as written.
struct FloatColumn {
    int decimals;
    int precision;
};

// Per kind: which columns are floats (by index), and their precision. Other columns are integers.
bool FloatColumnOf(int kind, std::size_t column, FloatColumn &f) {
    using namespace DataFileLayout;
    switch (kind) {
    case SetupStatusSet:
        if (column == 4) f = {SetupStatusIntervalDecimals, IntervalPrecision};
        return column == 4;
    case EncoderSignalSet:
        if (column == 4) f = {IntervalDecimals, IntervalPrecision};
        return column == 4;
    case SignalStrengthSet:
        if (column == 3) f = {IntervalDecimals, IntervalPrecision};
        return column == 3;
    default:
        if (column == 1) f = {VelocityDecimals, VelocityPrecision};
        if (column == 2) f = {IntervalDecimals, IntervalPrecision};
        return column == 1 || column == 2;
    }
}

// Largest difference the file's format and the float read back allow for a value near v.
double Tolerance(double v, const FloatColumn &f) {
    const double a = std::fabs(v);
    int e = a > 0 ? static_cast<int>(std::floor(std::log10(a))) : 0;
    const int lastDigit = std::max(-f.decimals, e - f.precision + 1);
    return 0.5 * std::pow(10.0, lastDigit) * 1.01 + a * 2.5e-7 + 1e-30;
}

template <typename Set> void Append(FileRecords &out, const Set &set, int32_t first, int32_t n, int kind) {
    int32_t index = first;
    for (int32_t k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(index);
        std::vector<double> r;
        if constexpr (std::is_same_v<Set, SetupStatusDataSet>) {
            r = {double(set.position[i]), double(set.xAD[i]), double(set.yAD[i]),
                 double(static_cast<int32_t>(set.status[i])), double(set.interval[i])};
        } else if constexpr (std::is_same_v<Set, EncoderSignalDataSet>) {
            r = {double(set.w1[i]), double(set.w2[i]), double(set.w3[i]), double(set.w4[i]),
                 double(set.interval[i])};
        } else if constexpr (std::is_same_v<Set, SignalStrengthDataSet>) {
            r = {double(set.a[i]), double(set.b[i]), double(set.c[i]), double(set.interval[i])};
        } else {
            r = {double(set.position[i]), double(set.velocity[i]), double(set.interval[i])};
        }
        (void)kind;
        out.records.push_back(std::move(r));
        index = RingArithmetic::Successor(index, Set::Capacity);
    }
}

template <typename Set> void AppendSaved(FileRecords &out, const Set &set, int kind) {
    const auto range = RingArithmetic::SavedRecords(set.count.load(), set.wrapped.load(), Set::Capacity);
    Append(out, set, range.first, range.size, kind);
}

template <typename Set> void AppendLoaded(FileRecords &out, const Set &set, int kind) {
    Append(out, set, 0, set.count.load(), kind);
}

std::string UnitsAsWritten(const std::string &units) {
    std::string u = units.substr(0, units.find_first_of("\r\n"));
    return u.substr(0, DataFileLayout::MaxUnitsName);
}

} // namespace

FileRecords SavedView(const DataSets &data, int kind, const DataFileHeader &header) {
    FileRecords out;
    out.kind = kind;
    out.hasHeader = DataFileLayout::HasHeaderValues(kind);
    if (out.hasHeader) {
        out.header = header;
        out.header.unitsName = UnitsAsWritten(header.unitsName);
    }
    switch (kind) {
    case SetupStatusSet:
        AppendSaved(out, data.SetupStatus(), kind);
        break;
    case EncoderSignalSet:
        AppendSaved(out, data.EncoderSignal(), kind);
        break;
    case SignalStrengthSet:
        AppendSaved(out, data.SignalStrength(), kind);
        break;
    default:
        AppendSaved(out, data.PositionVelocity(), kind);
        break;
    }
    return out;
}

FileRecords LoadedView(const DataSets &data, int kind, const DataFileLoadResult &load) {
    FileRecords out;
    out.kind = kind;
    out.hasHeader = load.hasHeader;
    out.header = load.header;
    switch (kind) {
    case SetupStatusSet:
        AppendLoaded(out, data.SetupStatus(), kind);
        break;
    case EncoderSignalSet:
        AppendLoaded(out, data.EncoderSignal(), kind);
        break;
    case SignalStrengthSet:
        AppendLoaded(out, data.SignalStrength(), kind);
        break;
    default:
        AppendLoaded(out, data.PositionVelocity(), kind);
        break;
    }
    return out;
}

std::string Compare(const FileRecords &expected, const FileRecords &actual) {
    char s[256];
    if (expected.kind != actual.kind) {
        std::snprintf(s, sizeof s, "data set kind %d, expected %d", actual.kind, expected.kind);
        return s;
    }
    if (expected.hasHeader != actual.hasHeader) return "header values present in one and not the other";
    if (expected.hasHeader) {
        if (expected.header.unitsName != actual.header.unitsName)
            return "units \"" + actual.header.unitsName + "\", expected \"" + expected.header.unitsName + "\"";
        if (expected.header.resolutionMultiplier != actual.header.resolutionMultiplier ||
            expected.header.interpolationMultiplier != actual.header.interpolationMultiplier) {
            std::snprintf(s, sizeof s, "multipliers %.9g and %.9g, expected %.9g and %.9g",
                          double(actual.header.resolutionMultiplier),
                          double(actual.header.interpolationMultiplier),
                          double(expected.header.resolutionMultiplier),
                          double(expected.header.interpolationMultiplier));
            return s;
        }
    }
    if (expected.records.size() != actual.records.size()) {
        std::snprintf(s, sizeof s, "%zu records, expected %zu", actual.records.size(), expected.records.size());
        return s;
    }
    for (std::size_t r = 0; r < expected.records.size(); ++r) {
        const auto &e = expected.records[r];
        const auto &a = actual.records[r];
        if (e.size() != a.size()) return "record " + std::to_string(r) + " has a different number of values";
        for (std::size_t c = 0; c < e.size(); ++c) {
            FloatColumn f{};
            const bool isFloat = FloatColumnOf(expected.kind, c, f);
            const bool same = isFloat ? std::fabs(e[c] - a[c]) <= Tolerance(e[c], f) : e[c] == a[c];
            if (!same) {
                std::snprintf(s, sizeof s, "record %zu of %zu, value %zu: %.10g, expected %.10g", r + 1,
                              expected.records.size(), c + 1, a[c], e[c]);
                return s;
            }
        }
    }
    return {};
}

int KindOfExtension(const std::string &ext) {
    for (int k = 0; k < 4; ++k)
        if (ext == ExtensionOfKind(k)) return k;
    return -1;
}

const char *ExtensionOfKind(int kind) {
    static const char *const ext[4] = {"man", "lis", "str", "pos"};
    return kind >= 0 && kind < 4 ? ext[kind] : "";
}

} // namespace soak
