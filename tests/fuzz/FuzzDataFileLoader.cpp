// Fuzzes the data-file loader: the ".man", ".lis", ".str" and ".pos" files of the four data sets.
//
// Input: the text of a data file. It is written into a scratch directory and loaded with
// DataSets::LoadDataFile, as the program loads a file the user picks. Checked on every input:
//  - a rejected file changes no data set (count, wrap, elapsed time and review state of all four);
//  - an accepted file fills the set its first line names, with as many records as the result says;
//  - the loaded set saved again (the writers' text) loads back: the same kind, one record fewer (a save
//    leaves out the oldest record), the same integer values record for record, the same header.
#include "FuzzTempDir.h"

#include "data/DataFileWriter.h"
#include "data/DataSets.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

using ControlState = std::tuple<int32_t, bool, float, int32_t, int32_t, float, int32_t, bool>;

ControlState StateOf(const DataSetControl &c) {
    return {c.count.load(),       c.wrapped.load(),     c.elapsed.load(),      c.reviewCount.load(),
            c.reviewIndex.load(), c.reviewElapsed.load(), c.reviewTarget.load(), c.resetOnNextLiveStart.load()};
}

bool SameState(const ControlState &a, const ControlState &b) {
    // Elapsed times compare by bits' value; a NaN never gets there (the loader takes finite values only).
    return a == b;
}

// Text of set `kind` as a save writes it.
std::string SavedText(const DataSets &sets, int kind, const DataFileHeader &header) {
    switch (kind) {
    case SetupStatusSet:
        return DataFileWriter::SetupStatusText(sets.SetupStatus(), header);
    case EncoderSignalSet:
        return DataFileWriter::EncoderSignalText(sets.EncoderSignal());
    case SignalStrengthSet:
        return DataFileWriter::SignalStrengthText(sets.SignalStrength(), header);
    default:
        return DataFileWriter::PositionVelocityText(sets.PositionVelocity(), header);
    }
}

// Record `i` of `first` has the integer values of record `j` of `second`.
bool SameIntegers(const DataSets &first, int32_t i, const DataSets &second, int32_t j, int kind) {
    const auto a = static_cast<std::size_t>(i);
    const auto b = static_cast<std::size_t>(j);
    switch (kind) {
    case SetupStatusSet: {
        const auto &x = first.SetupStatus();
        const auto &y = second.SetupStatus();
        return x.position[a] == y.position[b] && x.xAD[a] == y.xAD[b] && x.yAD[a] == y.yAD[b] &&
               x.status[a] == y.status[b];
    }
    case EncoderSignalSet: {
        const auto &x = first.EncoderSignal();
        const auto &y = second.EncoderSignal();
        return x.w1[a] == y.w1[b] && x.w2[a] == y.w2[b] && x.w3[a] == y.w3[b] && x.w4[a] == y.w4[b];
    }
    case SignalStrengthSet: {
        const auto &x = first.SignalStrength();
        const auto &y = second.SignalStrength();
        return x.a[a] == y.a[b] && x.b[a] == y.b[b] && x.c[a] == y.c[b];
    }
    default:
        return first.PositionVelocity().position[a] == second.PositionVelocity().position[b];
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The sets are large (the rings are allocated once in the program too): made once, reused.
    static const auto sets = std::make_unique<DataSets>();
    static const auto reloaded = std::make_unique<DataSets>();
    const std::string file = fuzz::ScratchDir() + "/data.fil";
    fuzz::WriteWhole(file, std::string_view(reinterpret_cast<const char *>(data), size));

    ControlState before[DataSetCountAll];
    for (int k = 0; k < DataSetCountAll; ++k)
        before[k] = StateOf(sets->Control(k));

    const DataFileLoadResult result = sets->LoadDataFile(file);
    if (!result.ok) {
        require(result.kind == -1 && result.count == 0);
        for (int k = 0; k < DataSetCountAll; ++k)
            require(SameState(before[k], StateOf(sets->Control(k))));
        return 0;
    }
    require(result.kind >= 0 && result.kind < DataSetCountAll);
    require(result.count >= 0 && result.count < DataSets::Capacity(result.kind));
    const DataSetControl &loaded = sets->Control(result.kind);
    require(loaded.count.load() == result.count && !loaded.wrapped.load());
    for (int k = 0; k < DataSetCountAll; ++k)
        if (k != result.kind) require(SameState(before[k], StateOf(sets->Control(k))));

    // What a save of the loaded set writes loads back.
    const DataFileHeader header = result.hasHeader ? result.header : DataFileHeader{};
    fuzz::WriteWhole(file, SavedText(*sets, result.kind, header));
    const DataFileLoadResult back = reloaded->LoadDataFile(file);
    require(back.ok && back.kind == result.kind);
    require(back.count == (result.count > 0 ? result.count - 1 : 0));
    require(back.hasHeader == result.hasHeader);
    if (result.hasHeader) {
        require(back.header.unitsName == result.header.unitsName);
        require(back.header.resolutionMultiplier == result.header.resolutionMultiplier);
        require(back.header.interpolationMultiplier == result.header.interpolationMultiplier);
    }
    for (int32_t j = 0; j < back.count; ++j)
        require(SameIntegers(*sets, j + 1, *reloaded, j, result.kind));
    return 0;
}
