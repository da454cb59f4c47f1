// TMainForm: the main menu. Its five top-level menus take no room in the window: F10, Alt alone and a
// right-click open them (MenuOnDemand), and the items with shortcut keys work at any time. Every item
// hands its action to the session.
#include "windows/MainForm.h"

#include "windows/DataFileDrop.h"
#include "windows/MenuOnDemand.h"
#include "windows/PlotImage.h"
#include "windows/RecentFilesMenu.h"
#include "windows/TAboutBoxForm.h"
#include "windows/TEncoderSetupForm.h"
#include "windows/THelpForm.h"

#include <QAction>
#include <QMenu>

using kpd::DisplayMode;

void TMainForm::CreateMenu() {
    MainMenu &m = menu_;
    // MainMenu1: five top-level menus. Tools, disabled in the design, is enabled: its items follow their
    // own rules.
    m.AddMenu("File1", "&File");
    m.AddMenu("View1", "&View");
    m.AddMenu("Settings1", "&Settings");
    m.AddMenu("Tools1", "&Tools");
    m.AddMenu("Help1", "&Help");
    kpd::Session &s = *session_;
    auto on = [this](QAction *a, std::function<void()> fn) {
        connect(a, &QAction::triggered, this, [fn = std::move(fn)] { fn(); });
    };

    on(m.AddItem("Loaddata1", "&Load...", "File1", QKeySequence(Qt::CTRL | Qt::Key_O)),
       [&s] { s.LoadData(); });
    m.AddMenu("Savedata1", "&Save", "File1");
    static const char *const saveItems[4][2] = {{"StatusandSetup1", "&Status and Setup Data"},
                                                {"EncoderSignal1", "&Encoder Signal Data"},
                                                {"SignalStrengthData1", "Signal S&trength Data"},
                                                {"PositionandVelocityData1", "&Position and Velocity Data"}};
    for (int kind = 0; kind < 4; ++kind)
        on(m.AddItem(saveItems[kind][0], saveItems[kind][1], "Savedata1"),
           [&s, kind] { s.SaveData(static_cast<DisplayMode>(kind)); });
    // Ctrl+S: the Save item of the data shown (none in the engineering display), marked in the Save menu.
    auto *saveShown = new QAction(this);
    saveShown->setObjectName("SaveShownData");
    saveShown->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addAction(saveShown);
    on(saveShown, [this] {
        const int kind = kpd::Index(session_->Mode());
        if (kind < 0 || kind > 3) return;
        if (QAction *item = menu_.Item(saveItems[kind][0]); item && item->isEnabled()) item->trigger();
    });
    connect(m.Menu("Savedata1"), &QMenu::aboutToShow, this, [this] {
        for (int kind = 0; kind < 4; ++kind)
            menu_.Item(saveItems[kind][0])
                ->setText(QString(saveItems[kind][1]) +
                          (kind == kpd::Index(session_->Mode()) ? "\tCtrl+S" : ""));
    });
    m.AddMenu("RecentFiles1", "&Recent Files", "File1");
    recentFiles_ = new RecentFilesMenu(
        m, "RecentFiles1",
        [this](const std::string &file) {
            if (menu_.Reachable("Loaddata1")) session_->LoadDataFile(file);
        },
        this);
    s.onDataFile = [this](const std::string &file) { recentFiles_->Add(file); };
    on(m.AddItem("SavePlotImage1", "Save Plot Image...", "File1",
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
       [this] { SavePlotImage(*this); });
    m.SetEnabled("SavePlotImage1", false); // the plot modes enable it
    on(m.AddItem("Exit1", "E&xit", "File1", QKeySequence(Qt::CTRL | Qt::Key_Q)), [this] { close(); });

    on(m.AddItem("Mainwindow1", "&Status and Setup", "View1", QKeySequence(Qt::Key_F2)), [&s] {
        if (kpd::HasDataSet(s.Mode()) && s.Mode() != DisplayMode::Status)
            s.SwitchDisplayMode(DisplayMode::Status, kpd::CmdShowStatus, true);
    });
    on(m.AddItem("Lissajous1", "&Encoder Signal Plot", "View1", QKeySequence(Qt::Key_F3)),
       [&s] { s.ShowPlotMode(DisplayMode::EncoderSignal, kpd::CmdShowEncoderSignal); });
    on(m.AddItem("SignalMonitor1", "Signal Strength &Plot", "View1"),
       [&s] { s.ShowPlotMode(DisplayMode::SignalStrength, kpd::CmdShowSignalStrength); });
    on(m.AddItem("EncoderPositionPlot1", "Encoder Position Plot", "View1", QKeySequence(Qt::Key_F5)), [this] {
        if (session_->Mode() != DisplayMode::SignalPlots) PositionButtonClick();
    });
    on(m.AddItem("Engineering1", "Engineering &Display", "View1", QKeySequence(Qt::Key_F6)),
       [&s] { s.ShowEngineering(); });
    on(m.AddItem("Resetalarms1", "&Alarm History Log...", "View1"), [this] { Resetalarms1Click(); });
    on(m.AddItem("Tessalyversion1", "Electronics &Info...", "View1", QKeySequence(Qt::Key_F7)),
       [&s] { s.ShowInfo(); });

    on(m.AddItem("Interpolation1", "&Interpolation...", "Settings1"),
       [this] { SetInterpolationButtonClick(); });
    on(m.AddItem("Bandwidth1", "Output &Frequency...", "Settings1"), [this] { SetFrequencyButtonClick(); });
    on(m.AddItem("Encoder1", "&Units...", "Settings1"), [this] {
        // The encoder setup window: filled from the settings on each showing; Apply goes to the session.
        if (!EncoderSetupForm) return;
        EncoderSetupForm->SetSetupProvider([this] { return kpd::EncoderSetup(session_->Config()); });
        EncoderSetupForm->SetOnApply(
            [this](const kpd::EncoderSetup &setup) { kpd::ApplyEncoderSetup(setup, *session_, *this); });
        if (EncoderSetupForm->isVisible()) {
            EncoderSetupForm->raise();
            EncoderSetupForm->activateWindow();
        } else {
            EncoderSetupForm->show();
        }
    });
    on(m.AddItem("EngineeringDisplay1", "&Engineering Display Setup...", "Settings1",
                 QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S)),
       [this] { EngineeringDisplay1Click(); });
    m.AddItem("DataProcessingForSetupandStatus1", "&Data Processing For Setup and Status...", "Settings1");
    m.SetEnabled("DataProcessingForSetupandStatus1", false);

    m.AddMenu("ResetDataBuffers1", "Clear Data Buffers", "Tools1");
    const char *clearItems[5][2] = {{"SetupandStatus1", "&Setup and Status"},
                                    {"EncoderSignal2", "&Encoder Signal"},
                                    {"SignalStrength1", "&Signal Strength"},
                                    {"EncoderPositionandVelocity1", "Encoder &Position and Velocity"},
                                    {"All1", "&All Buffers"}};
    for (int sel = 0; sel < 5; ++sel)
        on(m.AddItem(clearItems[sel][0], clearItems[sel][1], "ResetDataBuffers1"),
           [&s, sel] { s.ClearBuffers(sel); });
    on(m.AddItem("LocateIndex1", "&Center Index", "Tools1"), [&s] { s.CenterIndex(); });
    on(m.AddItem("ResetPosition1", "&Reset Position", "Tools1"), [&s] { s.ResetPosition(); });
    on(m.AddItem("Zeroposition1", "&Zero Hardware Position Counter", "Tools1"), [&s] { s.ZeroPosition(); });
    on(m.AddItem("SoftwareSystemReset1", "Software System &Reset - Active Com Port", "Tools1"),
       [&s] { s.SoftwareReset(); });
    on(m.AddItem("HardwareReset1", "&Hardware System Reset - All Com Ports", "Tools1"),
       [&s] { s.HardwareReset(); });
    on(m.AddItem("SearchForElectronics1", "&Search For Electronics", "Tools1"), [&s] { s.RequestSearch(); });

    m.AddItem("Encoderinstallationwizard1", "Encoder &Installation Wizard", "Help1");
    on(m.AddItem("Tessalysoftwarehelp1", "&Help", "Help1", QKeySequence(Qt::Key_F1)), [this] {
        if (HelpForm) HelpForm->ShowManual();
    });
    on(m.AddItem("AboutTessalySoftware1", "&About...", "Help1", QKeySequence(Qt::SHIFT | Qt::Key_F1)),
       [this] {
           if (AboutBoxForm) RunModal(AboutBoxForm);
       });

    menuOnDemand_ = new MenuOnDemand(*this, m.TopMenus());
    // A data file dropped on the window: File > Load with that file.
    new DataFileDrop(
        *this, [this] { return menu_.Reachable("Loaddata1"); },
        [this](const std::string &file) { session_->LoadDataFile(file); });
}
