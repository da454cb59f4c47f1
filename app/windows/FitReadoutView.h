// FitReadoutView: the fit readout of the encoder-signal display, in the side column below the data buttons
// (and the elapsed time under them). At most five times a second it fits what the plot has drawn since the
// last fit (live, during a replay and for a loaded file) and shows the lines of the readout in their
// tolerance colours. The fit runs on the user-interface thread from the ring slots the plot has drawn; the
// acquisition never waits for it.
#pragma once

#include "display/LissajousPlot.h"
#include "display/LissajousReadout.h"

#include <QObject>

#include <functional>
#include <vector>

class QLabel;
class QTimer;
class QWidget;

class FitReadoutView : public QObject {
public:
    // look: the plot's look now (the indicator circles judge the radius).
    FitReadoutView(QWidget &window, const kpd::LissajousPlot &plot, std::function<kpd::PlotLook()> look,
                   QObject *parent = nullptr);

    // Shows the readout (starting a little below `above`, the controls of the column above it, and kept
    // inside the window) or hides it.
    void Show(bool shown, const QRect &above);
    bool Shown() const { return shown_; }
    // Fits the plot's newest drawn records if it has drawn any since the last fit.
    void Update();
    // The lines shown (empty before the first fit).
    const std::vector<kpd::ReadoutLine> &Lines() const { return lines_; }
    const std::vector<QLabel *> &Labels() const { return labels_; }

    static constexpr int IntervalMs = 200; // five updates a second at most
    static constexpr int GapBelow = 16;

private:
    void Place();

    QWidget &window_;
    const kpd::LissajousPlot &plot_;
    std::function<kpd::PlotLook()> look_;
    std::vector<QLabel *> labels_;
    QTimer *timer_;
    QRect below_;
    bool shown_ = false;
    uint64_t fitted_ = ~uint64_t(0); // serial of the drawing last fitted
    std::size_t placedLines_ = 0;    // lines when the labels were last placed
    std::vector<kpd::ReadoutLine> lines_;
};
