// A session view for tests: records what the session shows instead of drawing it, and answers the two
// questions the session asks (the output settings chosen and whether a calibration box is ticked) with
// values the test sets.
#pragma once

#include "RecordingDataControl.h"
#include "session/SessionView.h"
#include "workers/DataControl.h"

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace sessiontest {

class RecordingView : public kpd::SessionView {
public:
    struct Progress {
        std::string caption;
        std::string text;
    };
    // A layout the session asked for: the status layout, a plot layout of a mode, or the engineering
    // display.
    struct Layout {
        enum class Kind { Status, Plot, Engineering } kind = Kind::Status;
        kpd::DisplayMode mode = kpd::DisplayMode::Status;
    };

    void ShowProgress(const std::string &caption, const std::string &text) override {
        progress.push_back({caption, text});
        progressShown = true;
    }
    void HideProgress() override { progressShown = false; }
    void SetBusy(bool b) override {
        busy = b;
        busyCalls.push_back(b);
    }
    void SetCaption(const std::string &c) override { captions.push_back(c); }

    void EnterDemoMode() override { ++demoModeEntered; }
    void EnterConnectedMode() override { ++connectedModeEntered; }
    void SetDataControlsEnabled(bool enabled) override { dataControls.push_back(enabled); }
    void SetMenuItemEnabled(const std::string &item, bool enabled) override {
        menuItems[item] = enabled;
        menuCalls.emplace_back(item, enabled);
    }
    void ShowInterpolationAndFrequency(int interpolationIndex, int frequencyCode) override {
        interpolation.emplace_back(interpolationIndex, frequencyCode);
    }
    void ShowSensorLabel(const std::string &text) override { sensorLabels.push_back(text); }
    void ShowUnits(const std::string &units) override { unitsShown.push_back(units); }

    void ShowStatusLayout() override { layouts.push_back({Layout::Kind::Status, kpd::DisplayMode::Status}); }
    void ShowPlotLayout(kpd::DisplayMode mode) override { layouts.push_back({Layout::Kind::Plot, mode}); }
    void ActivatePlot(kpd::DisplayMode mode) override { activatedPlots.push_back(mode); }
    void ShowEngineeringDisplay() override {
        layouts.push_back({Layout::Kind::Engineering, kpd::DisplayMode::Engineering});
    }
    void ShowEngineeringValues(const std::array<std::string, kpd::readall::SlotCount> &texts) override {
        engineeringValues.push_back(texts);
    }
    void Repaint() override { ++repaints; }
    void Activate() override { ++activations; }
    void EnableLoadedData(kpd::DisplayMode kind) override { loadedData.push_back(kind); }

    void PlotRunStarted(kpd::DisplayMode mode, const std::shared_ptr<const kpd::StreamProgress> &run) override {
        plotRuns.emplace_back(mode, run);
    }
    void PlotRunEnded(kpd::DisplayMode mode) override { plotRunsEnded.push_back(mode); }
    void ShowStoredPlot(kpd::DisplayMode mode) override { storedPlots.push_back(mode); }
    void PlotTypeChanged(kpd::DisplayMode mode, bool clearPlot) override {
        plotTypeChanges.emplace_back(mode, clearPlot);
    }
    void RestartPlot() override { ++plotRestarts; }

    void ShowStatusSample(const std::string &elapsed, const std::string &position) override {
        samples.emplace_back(elapsed, position);
    }
    void ShowElapsedTime(const std::string &elapsed) override { elapsedTexts.push_back(elapsed); }
    void ApplyStatusView(const kpd::StatusView &view) override { statusViews.push_back(view); }
    bool CalibrationBoxTicked() const override { return calibrationTicked; }

    void ShowElectronicsInfo(const InfoFields &fields) override { info.push_back(fields); }
    kpd::OutputSelection OutputChoice() const override { return outputChoice; }

    void Terminate() override { ++terminations; }

    // Forgets everything recorded (the answers stay).
    void Clear() {
        RecordingView fresh;
        fresh.outputChoice = outputChoice;
        fresh.calibrationTicked = calibrationTicked;
        *this = fresh;
    }

    std::string Caption() const { return captions.empty() ? std::string() : captions.back(); }
    bool MenuItemEnabled(const std::string &item) const {
        const auto it = menuItems.find(item);
        return it != menuItems.end() && it->second;
    }
    bool HasMenuItemState(const std::string &item) const { return menuItems.count(item) != 0; }

    // Answers.
    kpd::OutputSelection outputChoice{};
    bool calibrationTicked = false;

    // Records.
    std::vector<std::pair<kpd::DisplayMode, std::shared_ptr<const kpd::StreamProgress>>> plotRuns;
    std::vector<kpd::DisplayMode> plotRunsEnded;
    std::vector<kpd::DisplayMode> storedPlots;
    std::vector<std::pair<kpd::DisplayMode, bool>> plotTypeChanges;
    int plotRestarts = 0;
    std::vector<Progress> progress;
    bool progressShown = false;
    bool busy = false;
    std::vector<bool> busyCalls;
    std::vector<std::string> captions;
    int demoModeEntered = 0;
    int connectedModeEntered = 0;
    std::vector<bool> dataControls;
    std::map<std::string, bool> menuItems;
    std::vector<std::pair<std::string, bool>> menuCalls;
    std::vector<std::pair<int, int>> interpolation;
    std::vector<std::string> sensorLabels;
    std::vector<std::string> unitsShown;
    std::vector<Layout> layouts;
    std::vector<kpd::DisplayMode> activatedPlots;
    std::vector<std::array<std::string, kpd::readall::SlotCount>> engineeringValues;
    int repaints = 0;
    int activations = 0;
    std::vector<kpd::DisplayMode> loadedData;
    std::vector<std::pair<std::string, std::string>> samples;
    std::vector<std::string> elapsedTexts;
    std::vector<kpd::StatusView> statusViews;
    std::vector<InfoFields> info;
    int terminations = 0;
};

using kpdtest::RecordingDataControl;

} // namespace sessiontest
