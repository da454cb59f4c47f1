#include "data/DataSets.h"

#include "data/DataFileLayout.h"
#include "data/DataFileReader.h"
#include "data/DataFileWriter.h"
#include "data/FileReplacement.h"

#include <algorithm>
#include <stdexcept>

namespace {

// Largest number of records a file may bring into a set. The write index of a set must stay below its
// capacity, so a set takes at most capacity - 1 loaded records: exactly what a save of a full set writes.
constexpr int32_t LoadLimit(int32_t capacity) {
    return capacity - 1;
}

template <typename T, std::size_t N>
void CopyColumn(std::array<T, N> &target, const std::vector<double> &column) {
    std::transform(column.begin(), column.end(), target.begin(), [](double v) { return static_cast<T>(v); });
}

template <typename Set> void FinishLoad(Set &set, const std::vector<double> &intervals, int32_t records) {
    CopyColumn(set.interval, intervals);
    float elapsed = 0.0f;
    for (int32_t i = 0; i < records; ++i)
        elapsed += set.interval[static_cast<std::size_t>(i)];
    set.elapsed.store(elapsed);
    set.count.store(records);
    set.wrapped.store(false);
    set.resetOnNextLiveStart.store(true);
    set.reviewElapsed.store(0.0f);
    set.reviewTarget.store(records);
    set.reviewCount.store(records);
    set.reviewIndex.store(0);
}

} // namespace

DataSets::DataSets()
    : m_setupStatus(std::make_unique<SetupStatusDataSet>()),
      m_encoderSignal(std::make_unique<EncoderSignalDataSet>()),
      m_signalStrength(std::make_unique<SignalStrengthDataSet>()),
      m_positionVelocity(std::make_unique<PositionVelocityDataSet>()) {}

DataSets::~DataSets() = default;

DataSetControl &DataSets::Control(int set) {
    return const_cast<DataSetControl &>(static_cast<const DataSets *>(this)->Control(set));
}

const DataSetControl &DataSets::Control(int set) const {
    switch (set) {
    case SetupStatusSet:
        return *m_setupStatus;
    case EncoderSignalSet:
        return *m_encoderSignal;
    case SignalStrengthSet:
        return *m_signalStrength;
    case PositionVelocitySet:
        return *m_positionVelocity;
    default:
        throw std::out_of_range("no data set " + std::to_string(set));
    }
}

std::span<float> DataSets::Intervals(int set) {
    switch (set) {
    case SetupStatusSet:
        return m_setupStatus->interval;
    case EncoderSignalSet:
        return m_encoderSignal->interval;
    case SignalStrengthSet:
        return m_signalStrength->interval;
    case PositionVelocitySet:
        return m_positionVelocity->interval;
    default:
        throw std::out_of_range("no data set " + std::to_string(set));
    }
}

std::span<const float> DataSets::Intervals(int set) const {
    return const_cast<DataSets *>(this)->Intervals(set);
}

int32_t DataSets::Capacity(int set) {
    switch (set) {
    case SetupStatusSet:
        return SetupStatusDataSet::Capacity;
    case EncoderSignalSet:
        return EncoderSignalDataSet::Capacity;
    case SignalStrengthSet:
        return SignalStrengthDataSet::Capacity;
    case PositionVelocitySet:
        return PositionVelocityDataSet::Capacity;
    default:
        return 0;
    }
}

bool DataSets::ClearDataSet(int set) {
    if (set < 0 || set >= DataSetCountAll) return false;
    Control(set).Clear();
    return true;
}

bool DataSets::SaveSetupStatusFile(const std::filesystem::path &file, const std::string &unitsName,
                                   float resolutionMultiplier, float interpolationMultiplier) const {
    const DataFileHeader header{unitsName, resolutionMultiplier, interpolationMultiplier};
    FileReplacement::ReplaceFile(file, DataFileWriter::SetupStatusText(*m_setupStatus, header));
    return true;
}

bool DataSets::SaveEncoderSignalFile(const std::filesystem::path &file) const {
    FileReplacement::ReplaceFile(file, DataFileWriter::EncoderSignalText(*m_encoderSignal));
    return true;
}

bool DataSets::SaveSignalStrengthFile(const std::filesystem::path &file, const std::string &unitsName,
                                      float resolutionMultiplier, float interpolationMultiplier) const {
    const DataFileHeader header{unitsName, resolutionMultiplier, interpolationMultiplier};
    FileReplacement::ReplaceFile(file, DataFileWriter::SignalStrengthText(*m_signalStrength, header));
    return true;
}

bool DataSets::SavePositionVelocityFile(const std::filesystem::path &file, const std::string &unitsName,
                                        float resolutionMultiplier, float interpolationMultiplier) const {
    const DataFileHeader header{unitsName, resolutionMultiplier, interpolationMultiplier};
    FileReplacement::ReplaceFile(file, DataFileWriter::PositionVelocityText(*m_positionVelocity, header));
    return true;
}

DataFileLoadResult DataSets::LoadDataFile(const std::filesystem::path &file) {
    const int32_t limits[4] = {
        LoadLimit(SetupStatusDataSet::Capacity), LoadLimit(EncoderSignalDataSet::Capacity),
        LoadLimit(SignalStrengthDataSet::Capacity), LoadLimit(PositionVelocityDataSet::Capacity)};
    const DataFileReader::ParsedFile parsed = DataFileReader::ParseFile(file, limits);
    DataFileLoadResult result;
    if (!parsed.ok) {
        result.reason = parsed.reason;
        return result;
    }
    const auto &c = parsed.columns;
    const int32_t n = parsed.records;
    switch (parsed.kind) {
    case SetupStatusSet: {
        auto &set = *m_setupStatus;
        CopyColumn(set.position, c[0]);
        CopyColumn(set.xAD, c[1]);
        CopyColumn(set.yAD, c[2]);
        // The status word is written as a signed number; keep its bit pattern.
        std::transform(c[3].begin(), c[3].end(), set.status.begin(),
                       [](double v) { return static_cast<uint32_t>(static_cast<int32_t>(v)); });
        // Magnitude is not saved: loaded records get 0 rather than the values of an earlier recording.
        std::fill_n(set.magnitude.begin(), n, 0);
        FinishLoad(set, c[4], n);
        break;
    }
    case EncoderSignalSet: {
        auto &set = *m_encoderSignal;
        CopyColumn(set.w1, c[0]);
        CopyColumn(set.w2, c[1]);
        CopyColumn(set.w3, c[2]);
        CopyColumn(set.w4, c[3]);
        FinishLoad(set, c[4], n);
        break;
    }
    case SignalStrengthSet: {
        auto &set = *m_signalStrength;
        CopyColumn(set.a, c[0]);
        CopyColumn(set.b, c[1]);
        CopyColumn(set.c, c[2]);
        FinishLoad(set, c[3], n);
        break;
    }
    case PositionVelocitySet: {
        auto &set = *m_positionVelocity;
        CopyColumn(set.position, c[0]);
        CopyColumn(set.velocity, c[1]);
        // The plot-only values are not saved: loaded records get 0 rather than those of an earlier recording.
        std::fill_n(set.position64.begin(), n, 0);
        std::fill_n(set.magnitude.begin(), n, 0);
        FinishLoad(set, c[2], n);
        break;
    }
    default:
        result.reason = "unknown data set";
        return result;
    }
    result.ok = true;
    result.kind = parsed.kind;
    result.count = n;
    result.hasHeader = DataFileLayout::HasHeaderValues(parsed.kind);
    if (result.hasHeader) result.header = parsed.header;
    return result;
}

bool DataSets::LoadDataFile(const std::filesystem::path &file, int &kind, int &count) {
    const DataFileLoadResult result = LoadDataFile(file);
    kind = result.kind;
    count = result.count;
    return result.ok;
}
