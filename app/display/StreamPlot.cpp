#include "display/StreamPlot.h"

#include "data/RingArithmetic.h"

#include <algorithm>
#include <span>

namespace kpd {

PlotSetup PlotSetupOf(const Settings &s, int firmwareVersion, int layoutClass) {
    PlotSetup setup;
    setup.lissplot = s.lissplot > 0 ? s.lissplot : 150;
    setup.signalplot = s.signalplot > 0 ? s.signalplot : 500;
    setup.positionplot = s.positionplot > 0.0f ? s.positionplot : 8.0f;
    setup.look.generation = s.generation;
    setup.look.firmwareVersion = firmwareVersion;
    setup.look.showCircles = s.showcircles;
    setup.look.minimumCircle = s.minimumcircle;
    setup.look.maximumCircle = s.maximumcircle;
    setup.look.encoderPlotType = s.encoderplottype;
    setup.look.positionPlotType = s.positionplottype;
    setup.look.layoutClass = layoutClass;
    return setup;
}

StreamPlot::StreamPlot(const DataSets &data, int set, PlotCanvas &canvas, PlotScaling &scaling)
    : data_(data), set_(set), capacity_(DataSets::Capacity(set)), canvas_(canvas), scaling_(scaling) {}

int32_t StreamPlot::IndexOf(uint64_t k) const {
    return static_cast<int32_t>((static_cast<uint64_t>(run_->firstIndex) + k) % static_cast<uint64_t>(capacity_));
}

bool StreamPlot::WrappedAt(uint64_t k) const {
    return run_->wrappedAtStart || static_cast<uint64_t>(run_->firstIndex) + k >= static_cast<uint64_t>(capacity_);
}

void StreamPlot::Begin(std::shared_ptr<const StreamProgress> run, const PlotSetup &setup) {
    run_ = std::move(run);
    setup_ = setup;
    canvas_.SetLook(setup.look);
    drawn_ = 0;
    elapsed_ = run_->firstElapsed;
    restart_ = true;
    Prepare();
}

void StreamPlot::Retype(const PlotSetup &setup) {
    if (!run_) return;
    setup_ = setup;
    canvas_.SetLook(setup.look);
    restart_ = true;
    Prepare();
}

uint64_t StreamPlot::DrawLive(uint64_t from, uint64_t to) {
    for (uint64_t k = from; k < to; ++k)
        DrawRecord(IndexOf(k), k);
    return to - from;
}

bool StreamPlot::Advance() {
    if (!run_) return false;
    const uint64_t published = run_->published.load(std::memory_order_acquire);
    if (published <= drawn_) return false;
    if (!run_->replay) {
        if (published - drawn_ > static_cast<uint64_t>(MaximumLag)) {
            // Too far behind: skip to the newest records, in whole batches of five. The skipped records
            // still count for the time shown: their intervals are added, as far as the worker has not
            // overwritten their slots (it may be writing the slot of record `published`).
            const uint64_t next = published - static_cast<uint64_t>(MaximumLag / 2) / 5 * 5;
            const uint64_t readable = published - std::min(published, static_cast<uint64_t>(capacity_ - 1));
            const std::span<const float> intervals = data_.Intervals(set_);
            for (uint64_t k = std::max(drawn_, readable); k < next; ++k)
                elapsed_ += intervals[static_cast<std::size_t>(IndexOf(k))];
            drawn_ = next;
            restart_ = true;
            Prepare();
        }
        const uint64_t done = DrawLive(drawn_, published);
        drawn_ += done;
        return done > 0;
    }
    for (uint64_t k = drawn_; k < published; ++k)
        DrawRecord(IndexOf(k), k);
    drawn_ = published;
    return true;
}

void StreamPlot::End() {
    Advance();
    run_.reset();
}

void StreamPlot::ShowStored(const PlotSetup &setup) {
    setup_ = setup; // the records shown depend on it (the Lissajous trail)
    const DataSetControl &c = data_.Control(set_);
    const int32_t records = RingArithmetic::RecordCount(c.count.load(), c.wrapped.load(), capacity_);
    auto stored = std::make_shared<StreamProgress>();
    stored->set = set_;
    stored->replay = true;
    const int32_t shown = std::clamp(StoredRecordsShown(records), 0, records);
    const int32_t oldest = RingArithmetic::OldestIndex(c.count.load(), c.wrapped.load());
    stored->firstIndex = RingArithmetic::Wrap(oldest + (records - shown), capacity_);
    stored->replayCount = shown;
    // Each record adds its interval before it is drawn: start one interval before the first record's time.
    if (shown > 0)
        stored->firstElapsed =
            RingArithmetic::WindowStartTime(data_.Intervals(set_), c.count.load(), c.elapsed.load(), shown) -
            data_.Intervals(set_)[static_cast<std::size_t>(stored->firstIndex)];
    stored->published.store(static_cast<uint64_t>(shown));
    stored->ended.store(true);
    Begin(stored, setup);
    Advance();
    run_.reset();
}

} // namespace kpd
