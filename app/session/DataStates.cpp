#include "session/DataStates.h"

namespace kpd {

const char *CaptionOf(DataState state) {
    switch (state) {
    case DataState::Live:
        return "Live Data";
    case DataState::Viewing:
        return "Viewing Buffered Data";
    case DataState::Stopped:
    case DataState::SteppingBack:
    default:
        return "Data Display Stopped";
    }
}

DataState DataStates::Of(DisplayMode mode) const {
    return HasDataSet(mode) ? states_[static_cast<std::size_t>(Index(mode))] : DataState::Stopped;
}

void DataStates::Set(DisplayMode mode, DataState state) {
    if (HasDataSet(mode)) states_[static_cast<std::size_t>(Index(mode))] = state;
}

DataStates::AcquireResult DataStates::Acquire(DisplayMode mode) {
    AcquireResult r;
    if (!HasDataSet(mode) || Of(mode) == DataState::Viewing) return r;
    r.applies = true;
    r.wasNotLive = Of(mode) != DataState::Live;
    Set(mode, DataState::Live);
    return r;
}

void DataStates::Stop(DisplayMode mode) {
    Set(mode, DataState::Stopped);
}

bool DataStates::View(DisplayMode mode) {
    const DataState s = Of(mode);
    if (!HasDataSet(mode) || s == DataState::Live || s == DataState::Viewing) return false;
    Set(mode, DataState::Viewing);
    return true;
}

void DataStates::BeginStepBack(DisplayMode mode) {
    Set(mode, DataState::SteppingBack);
}

void DataStates::EndStepBack(DisplayMode mode) {
    Set(mode, DataState::Stopped);
}

void DataStates::Leave(DisplayMode mode) {
    if (Of(mode) == DataState::Viewing) Set(mode, DataState::Stopped);
}

} // namespace kpd
