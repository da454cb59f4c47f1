// The four recorded data sets: fixed rings of records kept as structure of arrays.
//
// Record i of a data set is entry i of each of its arrays. The interval of a record is the time in seconds
// since the previous record; time is never stored absolutely. `count` is the index of the next record to
// write (and the number of records while the ring has not wrapped); once the ring has been filled `wrapped`
// is set, every slot holds a record and the oldest one is at index `count`. The newest record is at index
// count - 1, the predecessor of index 0 being capacity - 1.
//
// Threads: a worker thread writes the slots and the control fields of the set it records or replays; the
// user-interface thread reads the slots only while that worker waits in its hand-over call or after it has
// ended. The control fields are handed to the worker by address and cross threads, so they are atomic.
// The slot arrays are plain memory, sized once; recording allocates nothing.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

// Data set numbers, the same as display modes 0..3.
enum DataSetKind : int {
    SetupStatusSet = 0,
    EncoderSignalSet = 1,
    SignalStrengthSet = 2,
    PositionVelocitySet = 3,
};
constexpr int DataSetCountAll = 4;

// Control state of one data set.
struct DataSetControl {
    std::atomic<int32_t> count{0};                 // index of the next record to write
    std::atomic<bool> wrapped{false};              // all slots hold records; the oldest is at index count
    std::atomic<float> elapsed{0.0f};              // sum of the intervals of the recording, seconds
    std::atomic<int32_t> reviewCount{0};           // records in the current review window
    std::atomic<int32_t> reviewIndex{0};           // index of the record where replay starts
    std::atomic<float> reviewElapsed{0.0f};        // elapsed time at the start of the review window
    std::atomic<int32_t> reviewTarget{0};          // records the review window may hold at most
    std::atomic<bool> resetOnNextLiveStart{false}; // set by a file load: the next live start empties the set

    // Empties the set: count, elapsed and review count 0, not wrapped, no pending reset. Slot contents stay
    // and are overwritten by the next recording.
    void Clear();
};

// Data set 0: setup and status, filled by the status monitor.
struct SetupStatusDataSet : DataSetControl {
    static constexpr int32_t Capacity = 2000;
    std::array<int32_t, Capacity> position{};
    std::array<int32_t, Capacity> xAD{};
    std::array<int32_t, Capacity> yAD{};
    std::array<uint32_t, Capacity> status{}; // AtStatus in the low half, Status in the high half
    std::array<int32_t, Capacity> magnitude{};
    std::array<float, Capacity> interval{};
};

// Data set 1: encoder signal, the stream words YAdc, XAdc, YAdcAdj, XAdcAdj in that order.
struct EncoderSignalDataSet : DataSetControl {
    static constexpr int32_t Capacity = 20000;
    std::array<uint16_t, Capacity> w1{};
    std::array<uint16_t, Capacity> w2{};
    std::array<uint16_t, Capacity> w3{};
    std::array<uint16_t, Capacity> w4{};
    std::array<float, Capacity> interval{};
};

// Data set 2: signal strength. a = position, b = signal strength, c = a third value (0 when recorded live).
struct SignalStrengthDataSet : DataSetControl {
    static constexpr int32_t Capacity = 20000;
    std::array<int32_t, Capacity> a{};
    std::array<int32_t, Capacity> b{};
    std::array<int32_t, Capacity> c{};
    std::array<float, Capacity> interval{};
};

// Data set 3: position and velocity. position64 and magnitude are used by the plots only and not saved.
struct PositionVelocityDataSet : DataSetControl {
    static constexpr int32_t Capacity = 20000;
    std::array<int32_t, Capacity> position{};
    std::array<float, Capacity> velocity{};
    std::array<int32_t, Capacity> position64{};
    std::array<int32_t, Capacity> magnitude{};
    std::array<float, Capacity> interval{};
};
