// PlotController: the plot modes 1 (encoder signal), 2 (signal strength) and 3 (signal plots). The layout
// and redraw are the window's; the worker of the mode is the plot data control's, when one is plugged in.
#pragma once

#include "session/ModeController.h"

namespace kpd {

class DataControl;
class Session;
class SessionView;

class PlotController : public ModeController {
public:
    PlotController(DisplayMode mode, Session &session, SessionView &view);

    DisplayMode Mode() const override { return mode_; }
    void Layout() override;
    void SetDataControl(DataState state) override;
    bool HasDataFile() const override { return true; }
    SaveDialogTexts SaveDialog() const override;
    void Save(const std::filesystem::path &file) const override;
    void ShowLoaded() override;

    void SetDataControl(DataControl *control) { control_ = control; }

private:
    DisplayMode mode_;
    Session &session_;
    SessionView &view_;
    DataControl *control_ = nullptr;
};

} // namespace kpd
