#include "windows/PlotImage.h"

#include "display/TPaintBox.h"
#include "platform/Dialogs.h"
#include "windows/FitReadoutView.h"
#include "windows/MainForm.h"
#include "windows/PlotDisplay.h"

#include <QLabel>

namespace {

// A label's text and colour as shown; nothing for a hidden label.
kpd::PictureText Shown(const QLabel *l) {
    if (l->isHidden()) return {};
    return {l->text().toStdString(), l->palette().color(QPalette::WindowText).rgb() & 0xFFFFFFu};
}

} // namespace

kpd::PlotPictureContent PlotContentOf(MainFormControls &f, PlotDisplay &plots, kpd::DisplayMode mode) {
    kpd::PlotPictureContent c;
    c.plot = f.GraphBox->Canvas().copy();
    c.name = Shown(f.PlotNameText).text;
    c.description = Shown(f.PlotDescriptionText).text;
    c.leftTitle = Shown(f.YAxisTextTop);
    c.rightTitle = Shown(f.YAxisTextBottom);
    c.xTitle = Shown(f.XAxisText).text;
    for (std::size_t i = 0; i < 5; ++i) {
        c.xTicks[i] = Shown(f.XValue[4 - i]); // XValue5 at the left edge
        c.yLeft[i] = Shown(f.YValue[4 - i]);  // YValue5 at the bottom
    }
    if (mode == kpd::DisplayMode::EncoderSignal && plots.Readout().Shown())
        c.readout = plots.Readout().Lines();
    return c;
}

void SavePlotImage(TMainForm &form) {
    const kpd::DisplayMode mode = form.session().Mode();
    if (mode != kpd::DisplayMode::EncoderSignal && mode != kpd::DisplayMode::SignalStrength &&
        mode != kpd::DisplayMode::SignalPlots)
        return;
    platform::FileDialogOptions o;
    o.title = "Save Plot Image as:";
    o.defaultExt = "png";
    o.filter = "PNG Image (*.png)|*.png|All Files (*.*)|*.*";
    const auto file = platform::Dialogs::Instance().SaveFile(o);
    if (!file) return;
    const QImage picture = kpd::RenderPlotPicture(PlotContentOf(form, form.Plots(), mode));
    if (!picture.save(QString::fromStdString(*file), "PNG"))
        platform::ShowMessage(
            platform::MessageKind::Error,
            "Cannot Save to File.  Verify the file is not being used by any other application.",
            platform::MessageButtons::Ok);
}
