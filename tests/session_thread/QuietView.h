// A session view without a window: it counts the status samples and remembers whether the program asked
// to end.
#pragma once

#include "session/SessionView.h"

#include <atomic>

struct QuietView : kpd::SessionView {
    int samples = 0;
    bool terminated = false;
    std::string caption;

    void ShowProgress(const std::string &, const std::string &) override {}
    void HideProgress() override {}
    void SetBusy(bool) override {}
    void SetCaption(const std::string &c) override { caption = c; }
    void EnterDemoMode() override {}
    void EnterConnectedMode() override {}
    void SetDataControlsEnabled(bool) override {}
    void SetMenuItemEnabled(const std::string &, bool) override {}
    void ShowInterpolationAndFrequency(int, int) override {}
    void ShowSensorLabel(const std::string &) override {}
    void ShowUnits(const std::string &) override {}
    void ShowStatusLayout() override {}
    void ShowPlotLayout(kpd::DisplayMode) override {}
    void ActivatePlot(kpd::DisplayMode) override {}
    void ShowEngineeringDisplay() override {}
    void Repaint() override {}
    void Activate() override {}
    void EnableLoadedData(kpd::DisplayMode) override {}
    void ShowStatusSample(const std::string &, const std::string &) override { ++samples; }
    void ShowElapsedTime(const std::string &) override {}
    void ApplyStatusView(const kpd::StatusView &) override {}
    bool CalibrationBoxTicked() const override { return false; }
    void ShowElectronicsInfo(const InfoFields &) override {}
    kpd::OutputSelection OutputChoice() const override { return {}; }
    void Terminate() override { terminated = true; }
};
