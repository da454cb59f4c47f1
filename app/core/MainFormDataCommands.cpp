// TMainForm: the scheduler's data-file commands: save the data set of a display mode, load a data file,
// clear data buffers.
#include "MainForm.h"

#include "ComData.h"
#include "platform/Dialogs.h"
#include "platform/WaitCursor.h"

#include <QLabel>
#include <QToolButton>

#include <exception>
#include <filesystem>

using platform::MessageButtons;
using platform::MessageKind;

namespace {

struct SaveKind {
    const char *title;
    const char *ext;
    const char *filter;
};

constexpr SaveKind kSaveKinds[4] = {
    {"Save Setup and Status Data as:", "man", "Setup and Status Data (*.man)|*.man|All Files (*.*)|*.*"},
    {"Save Encoder Signal Data as:", "lis", "Encoder Data (*.lis)|*.lis|All Files (*.*)|*.*"},
    {"Save Signal Strength Data as:", "str", "Signal Strength Data (*.str)|*.str|All Files (*.*)|*.*"},
    {"Save Position/Velocity Data as:", "pos", "Position/Velocity Data (*.pos)|*.pos|All Files (*.*)|*.*"},
};

const char *const kLoadFilter =
    "All Files (*.*)|*.*|Setup and Status Data (*.man)|*.man|Position/Velocity Data "
    "(*.pos)|*.pos|Signal Strength Data (*.str)|*.str|Encoder Data (*.lis)|*.lis|";

const char *const kLoadedTexts[4] = {
    "Setup and Status Data successfully loaded", "Encoder Signal Data successfully loaded",
    "Signal Strength Data successfully loaded", "Position and Velocity Data successfully loaded"};

} // namespace

void TMainForm::SaveDataCommand() {
    const int kind = DisplayMode;
    if (kind >= 0 && kind <= 3 && access_) {
        const SaveKind &k = kSaveKinds[kind];
        platform::FileDialogOptions o;
        o.title = k.title;
        o.defaultExt = k.ext;
        o.filter = k.filter;
        o.overwritePrompt = true;
        if (const auto file = platform::Dialogs::Instance().SaveFile(o)) {
            platform::ShowHourglass();
            try {
                const std::filesystem::path path(*file);
                const DataSets &data = access_->Data;
                const float res = settings.resolutionMultiplier;
                const float interp = settings.interpolationMultiplier;
                switch (kind) {
                case 0:
                    data.SaveSetupStatusFile(path, settings.units, res, interp);
                    break;
                case 1:
                    data.SaveEncoderSignalFile(path);
                    break;
                case 2:
                    data.SaveSignalStrengthFile(path, settings.units, res, interp);
                    break;
                default:
                    data.SavePositionVelocityFile(path, settings.units, res, interp);
                    break;
                }
            } catch (const std::exception &) {
                platform::ShowDefaultCursor();
                platform::ShowMessage(
                    MessageKind::Error,
                    "Cannot Save to File.  Verify the file is not being used by any other application.",
                    MessageButtons::Ok);
                DisplayMode = PreviousDisplayMode;
                FormActivate();
                ApplyDataState();
            }
        }
    }
    // Common end, also after a cancelled dialog.
    if (!DemoFlag) SetDataControlsEnabled(true);
    platform::ShowDefaultCursor();
    DisplayMode = PreviousDisplayMode;
    FormActivate();
    ApplyDataState();
}

void TMainForm::LoadDataCommand() {
    platform::FileDialogOptions o;
    o.title = "Choose Data File to Open";
    o.filter = kLoadFilter;
    o.overwritePrompt = false;
    const auto file = access_ ? platform::Dialogs::Instance().OpenFile(o) : std::nullopt;
    if (file) {
        platform::ShowHourglass();
        int kind = -1;
        int count = 0;
        bool ok = false;
        try {
            ok = access_->Data.LoadDataFile(std::filesystem::path(*file), kind, count);
        } catch (const std::exception &) {
            ok = false; // an unreadable file is an invalid one
        }
        if (ok && kind >= 0 && kind <= 3) {
            TimeText2->setText("0.0");
            platform::ShowMessage(MessageKind::Information, kLoadedTexts[kind], MessageButtons::Ok);
            if (kind == 1 || kind == 3) PlotTypeGroup->setEnabled(true);
            DisplayMode = kind;
            if (kind == 0) {
                ShowStatusLayout();
                repaint();
                StopButtonAction();
            } else {
                if (showPlotLayout) showPlotLayout(kind);
                repaint();
                if (activatePlot) activatePlot(kind);
            }
            platform::ShowDefaultCursor();
            StopButtonAction();
            FastButton->setEnabled(true);
            ReviewButton->setEnabled(true);
            StopButton->setEnabled(true);
        } else {
            platform::ShowDefaultCursor();
            platform::ShowMessage(MessageKind::Error, "Invalid Software File Type", MessageButtons::Ok);
        }
    }
    platform::ShowDefaultCursor();
    if (!DemoFlag) {
        UpdateWindowCaption();
        ApplyDataState();
    }
}

void TMainForm::ClearBuffersCommand() {
    const int sel = BufferSelector;
    if (access_) {
        if (sel >= 0 && sel <= 3) {
            access_->Data.ClearDataSet(sel);
            if (DisplayMode == sel) TimeText2->setText("0.0");
        } else if (sel == 4) {
            for (int set : {0, 1, 3, 2})
                access_->Data.ClearDataSet(set);
            TimeText2->setText("0.0");
        }
    }
    UpdateWindowCaption();
    ApplyDataState();
}
