// StreamPlot: the plot of one plot display mode, drawn from its data set as a worker's run publishes
// records. The window calls Advance at most at the screen's rate; the plot draws every record published
// since the last call, in order, with the same primitives and in the same sequence as if each record
// were drawn the moment it arrived, so a busy window only draws later and never loses a record.
//
// User-interface thread only. A record's slots are read only after its publication was seen.
#pragma once

#include "data/DataSets.h"
#include "data/Settings.h"
#include "display/PlotCanvas.h"
#include "session/PlotScaling.h"
#include "workers/StreamProgress.h"

#include <cstdint>
#include <memory>

namespace kpd {

// What a plot needs to know besides its data: the point counts and the look of the primitives.
struct PlotSetup {
    int lissplot = 150;        // trail of the encoder-signal plot, samples
    int signalplot = 500;      // points of the signal-strength plot before it restarts
    float positionplot = 8.0f; // time window of the signal plots, seconds
    PlotLook look;
};

// The setup of the plots for the settings, the controller firmware version and the layout size class (the
// point counts' defaults where the settings hold none).
PlotSetup PlotSetupOf(const Settings &settings, int firmwareVersion, int layoutClass);

class StreamPlot {
public:
    StreamPlot(const DataSets &data, int set, PlotCanvas &canvas, PlotScaling &scaling);
    virtual ~StreamPlot() = default;
    StreamPlot(const StreamPlot &) = delete;
    StreamPlot &operator=(const StreamPlot &) = delete;

    // A worker's run begins: prepares the plot (before the worker writes anything).
    void Begin(std::shared_ptr<const StreamProgress> run, const PlotSetup &setup);
    // Draws the records published since the last call; true when it drew any.
    bool Advance();
    // The run has ended: draws what is left and stops following it.
    void End();
    bool Following() const { return run_ != nullptr; }
    // Draws the records a loaded file put into the data set.
    void ShowStored(const PlotSetup &setup);
    // The next record starts the plot over (new ranges, new window).
    void RequestRestart() { restart_ = true; }
    // The plot type changed while a run is followed: the run goes on with the new look, starting over at
    // its next record from a cleared plot.
    void Retype(const PlotSetup &setup);
    bool RestartRequested() const { return restart_; }
    // Records drawn of the current run.
    uint64_t Drawn() const { return drawn_; }

    // A window that falls this many records behind a live run jumps ahead (the ring is about to be
    // overwritten under it); the skipped records stay recorded but are not drawn.
    static constexpr int32_t MaximumLag = 15000;

protected:
    // Prepares the plot for a run (or the stored records).
    virtual void Prepare() = 0;
    // Draws live records [from, to) of the run (the Lissajous plot draws them in batches of five and may
    // leave a partial batch for later: it returns how many it drew).
    virtual uint64_t DrawLive(uint64_t from, uint64_t to);
    // Draws one record of the run, ring index `index`, run position k.
    virtual void DrawRecord(int32_t index, uint64_t k) = 0;
    // The records a stored set shows: the run position of the first one drawn (default: all).
    virtual int32_t StoredRecordsShown(int32_t records) const { return records; }

    int32_t IndexOf(uint64_t k) const;
    bool WrappedAt(uint64_t k) const;

    const DataSets &data_;
    const int set_;
    const int32_t capacity_;
    PlotCanvas &canvas_;
    PlotScaling &scaling_;
    PlotSetup setup_;
    std::shared_ptr<const StreamProgress> run_;
    uint64_t drawn_ = 0;
    float elapsed_ = 0.0f;
    bool restart_ = false;
};

} // namespace kpd
