#include "display/StoredPlotPicture.h"

#include "display/LayoutClass.h"
#include "display/LissajousPlot.h"
#include "display/SignalPlot.h"
#include "display/StrengthPlot.h"
#include "session/PlotScaling.h"

namespace kpd {

namespace {

// The tick labels as the plots set them, into the picture's content.
class ContentLabels : public PlotLabels {
public:
    explicit ContentLabels(PlotPictureContent &content) : c_(content) {}
    void ShowElapsedText(const std::string &) override {}
    void SetXTickTexts(const std::array<std::string, 5> &leftToRight) override {
        for (std::size_t i = 0; i < 5; ++i)
            c_.xTicks[i].text = leftToRight[i];
    }
    void SetYTickTexts(bool right, const std::array<std::string, 5> &bottomToTop, uint32_t rgb) override {
        if (right) return; // the right labels are hidden in every plot mode
        for (std::size_t i = 0; i < 5; ++i)
            c_.yLeft[i] = {bottomToTop[i], rgb};
    }

private:
    PlotPictureContent &c_;
};

std::array<PictureText, 5> White(const std::array<const char *, 5> &texts) {
    std::array<PictureText, 5> t;
    for (std::size_t i = 0; i < 5; ++i)
        t[i] = {texts[i], plotcolour::White};
    return t;
}

// The texts the plot layout of `mode` sets before the plot draws (tick labels bottom to top and left to
// right).
void LayoutTexts(PlotPictureContent &c, DisplayMode mode, const Settings &s) {
    c.name = mode == DisplayMode::SignalStrength ? " Encoder Signal Strength Graph" : " Encoder Signal Graph";
    if (mode == DisplayMode::EncoderSignal) {
        c.description = "sine/cosine in %";
        c.yLeft = c.xTicks = White({"100%", "50%", "0%", "50%", "100%"});
    } else if (mode == DisplayMode::SignalStrength) {
        c.description = "encoder signal strength vs. position";
        c.xTitle = "Position in " + s.units;
        c.yLeft = s.generation <= 2 ? White({"0.0V", "0.2V", "0.4V", "0.6V", "0.8V"})
                                    : White({"0.0V", "0.4V", "0.8V", "1.2V", "1.6V"});
        c.xTicks = White({"0.0V", "0.4V", "0.8V", "1.2V", "1.6V"});
    } else {
        c.yLeft = White({"0", "0.25", "0.50", "0.75", "1.00"});
        c.xTicks = White({"0", "0.2", "0.5", "0.7", "1.0"});
        const int type = s.positionplottype;
        if (type == 1) {
            c.description = "Encoder Signal Strength  vs.  Position";
            c.leftTitle = {"", plotcolour::Yellow};
            c.xTitle = "Position in counts";
        } else if (type == 2) {
            c.description = "Signal Strength  vs.  Time";
            c.xTitle = "Time in seconds";
        } else {
            c.description = "Position  vs.  Time";
            c.leftTitle = {"Position in Counts ", plotcolour::Lime};
            c.xTitle = "Time in seconds";
        }
    }
}

} // namespace

int LayoutClassOfPlot(QSize plotSize) {
    if (plotSize.height() == 320) return LayoutSmall;
    if (plotSize.height() == 500) return LayoutLarge;
    return LayoutMedium;
}

PlotPictureContent StoredPlotContent(const DataSets &data, DisplayMode mode, const Settings &settings,
                                     int firmwareVersion, QSize plotSize) {
    PlotPictureContent c;
    LayoutTexts(c, mode, settings);
    c.plot = QImage(plotSize, QImage::Format_RGB32);
    c.plot.fill(Qt::black);
    const PlotSetup setup = PlotSetupOf(settings, firmwareVersion, LayoutClassOfPlot(plotSize));
    ContentLabels labels(c);
    PlotCanvas canvas(c.plot, setup.look, &labels);
    PlotScaling scaling;
    // As the window after the mode's layout: the empty frame, then the stored records.
    if (mode == DisplayMode::EncoderSignal) {
        canvas.ClearAndLissajousFrame();
        LissajousPlot plot(data, canvas, scaling);
        plot.ShowStored(setup);
        c.readout = ReadoutLines(plot.FitDrawn(), ToleranceFor(setup.look));
    } else if (mode == DisplayMode::SignalStrength) {
        canvas.ClearAndGrid();
        StrengthPlot(data, canvas, scaling).ShowStored(setup);
    } else {
        canvas.ClearAndGrid();
        SignalPlot(data, canvas, scaling).ShowStored(setup);
    }
    return c;
}

} // namespace kpd
