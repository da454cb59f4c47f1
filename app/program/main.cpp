// Program entry: creates the windows in their fixed order (the main window, then the searching window,
// whose construction shows the main window and searches for electronics, then the other windows) and runs
// the message loop.
#include "program/KpdApplication.h"
#include "program/ProgramOptions.h"
#include "program/UnattendedDialogs.h"
#include "windows/MainForm.h"

#include "platform/Dialogs.h"
#include "widgets/QtDialogs.h"
#include "windows/TAboutBoxForm.h"
#include "windows/TAlarmHistoryForm.h"
#include "windows/TEditDialogForm.h"
#include "windows/TEncoderSetupForm.h"
#include "windows/TEngineeringDisplay.h"
#include "windows/TInfoForm.h"
#include "windows/TPlotSettingsForm.h"
#include "windows/TRadioDialog.h"
#include "windows/TStartup.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <optional>

int main(int argc, char **argv) {
    KpdApplication app(argc, argv);
    QApplication::setApplicationName("Tessaly II Software for KPD Alignment Tool");
    platform::QtDialogs realDialogs;
    platform::Dialogs::SetDefault(&realDialogs);

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    const kpd::ProgramOptions options = kpd::ParseProgramOptions(args);
    if (!options.error.empty()) {
        std::fprintf(stderr, "KPD: %s\n", options.error.c_str());
        return 2;
    }

    // A timed run is unattended: no modal box may wait for a click (the search's "Cannot Detect
    // Electronics" box runs before the event loop and would otherwise keep the program from ever ending).
    kpd::UnattendedDialogs unattended;
    std::optional<platform::ScopedDialogs> unattendedScope;
    if (options.quitAfterMs >= 0) unattendedScope.emplace(unattended);

    try {
        auto *MainForm = new TMainForm;
        // The searching window's construction shows the main window and runs the first search.
        const int displayMode = options.displayMode;
        MainForm->Startup = new TStartup(MainForm, [MainForm, displayMode](TStartup *startup) {
            MainForm->Startup = startup;
            MainForm->show();
            MainForm->session().Search();
            if (displayMode >= 1 && displayMode <= 3) {
                // The menu's view item of the mode, once the search has settled.
                QTimer::singleShot(500, MainForm, [MainForm, displayMode] {
                    MainForm->session().ShowPlotMode(static_cast<kpd::DisplayMode>(displayMode),
                                                     kpd::CmdShowEncoderSignal + displayMode - 1);
                });
            }
        });
        MainForm->AboutBoxForm = new TAboutBoxForm(MainForm);
        MainForm->RadioDialog = new TRadioDialog(MainForm);
        MainForm->EncoderSetupForm = new TEncoderSetupForm(MainForm);
        MainForm->AlarmHistoryForm = new TAlarmHistoryForm(MainForm);
        MainForm->EditDialogForm = new TEditDialogForm(MainForm);
        MainForm->InfoForm = new TInfoForm(MainForm);
        MainForm->PlotSettingsForm = new TPlotSettingsForm(MainForm);
        MainForm->EngineeringDisplay = new TEngineeringDisplay(MainForm);

        if (!options.screenshotFile.empty()) {
            const QString file = QString::fromStdString(options.screenshotFile);
            QTimer::singleShot(options.screenshotAfterMs, MainForm, [MainForm, file] {
                if (!MainForm->grab().save(file, "PNG"))
                    std::fprintf(stderr, "KPD: cannot write the screenshot %s\n",
                                 file.toLocal8Bit().constData());
            });
        }
        if (options.quitAfterMs >= 0)
            QTimer::singleShot(options.quitAfterMs, MainForm,
                               [MainForm] { MainForm->session().ShutDownNow(); });

        const int rc = app.exec();
        delete MainForm;
        return rc;
    } catch (const std::exception &e) {
        platform::ShowMessage(platform::MessageKind::Error, e.what(), platform::MessageButtons::Ok);
        return 0;
    }
}
