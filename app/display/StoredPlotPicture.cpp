#include "display/StoredPlotPicture.h"

#include "display/LayoutClass.h"
#include "display/LissajousPlot.h"
#include "display/PlotTexts.h"
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

// Five texts in white, in the reverse order (the layout's top to bottom or right to left, the picture's
// bottom to top or left to right).
std::array<PictureText, 5> WhiteReversed(const std::array<std::string, 5> &texts) {
    std::array<PictureText, 5> t;
    for (std::size_t i = 0; i < 5; ++i)
        t[i] = {texts[4 - i], plotcolour::White};
    return t;
}

PictureText Shown(const TitleText &title) {
    return title.shown ? PictureText{title.text, title.rgb} : PictureText{};
}

// The texts the plot layout of `mode` sets before the plot draws.
void LayoutTexts(PlotPictureContent &c, DisplayMode mode, const Settings &s) {
    const PlotModeTexts texts = PlotModeTextsFor(mode, s.generation, s.units);
    c.name = texts.name;
    c.description = texts.description;
    c.xTitle = texts.xTitle.value_or("");
    c.yLeft = WhiteReversed(texts.yLeft);
    c.xTicks = WhiteReversed(texts.x);
    if (mode == DisplayMode::SignalPlots) {
        const SignalPlotTitles titles = SignalPlotTitlesFor(s.positionplottype, s.units);
        c.description = titles.description;
        c.leftTitle = Shown(titles.top);
        c.rightTitle = Shown(titles.bottom);
        c.xTitle = titles.xTitle.value_or("Time in seconds"); // a fresh window's time axis
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
