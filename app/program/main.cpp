// Program entry: reads the command line (--help and --version print and end before any window or
// display is needed; a bad option ends with code 2), creates the windows in their fixed order (the main
// window, then the searching window, whose construction shows the main window and searches for
// electronics, then the other windows) and runs the message loop.
#include "program/KpdApplication.h"
#include "program/OpenAtStartDialogs.h"
#include "program/ProgramOptions.h"
#include "program/ProgramWindows.h"
#include "program/ShowWindow.h"
#include "program/UnattendedDialogs.h"
#include "windows/MainForm.h"
#include "windows/RecentFilesMenu.h"

#include "platform/Dialogs.h"
#include "widgets/QtDialogs.h"
#include "windows/TStartup.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <optional>

int main(int argc, char **argv) {
    // The options are read before the application object exists: it would need a display.
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    const kpd::ProgramOptions options = kpd::ParseProgramOptions(args);
    if (!options.error.empty()) {
        std::fprintf(stderr, "KPD: %s\nTry 'KPD --help' for the options.\n", options.error.c_str());
        return 2;
    }
    if (options.action != kpd::ProgramOptions::Action::Run) {
        const std::string text = options.action == kpd::ProgramOptions::Action::Help ? kpd::ProgramHelpText()
                                                                                     : kpd::ProgramVersionText();
        std::fputs(text.c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }

    KpdApplication app(argc, argv);
    QApplication::setApplicationName("Tessaly II Software for KPD Alignment Tool");
    platform::QtDialogs realDialogs;
    platform::Dialogs::SetDefault(&realDialogs);

    // A timed run is unattended: no modal box may wait for a click (the search's "Cannot Detect
    // Electronics" box runs before the event loop and would otherwise keep the program from ever ending).
    kpd::UnattendedDialogs unattended;
    std::optional<platform::ScopedDialogs> unattendedScope;
    if (options.quitAfterMs >= 0) unattendedScope.emplace(unattended);
    // A data file named on the command line answers the open dialog of the load that follows the search.
    std::optional<kpd::OpenAtStartDialogs> openAtStart;
    std::optional<platform::ScopedDialogs> openAtStartScope;
    if (!options.dataFile.empty()) {
        openAtStart.emplace(options.dataFile, platform::Dialogs::Instance());
        openAtStartScope.emplace(*openAtStart);
    }

    try {
        auto *MainForm = new TMainForm;
        // File > Recent Files is kept in the user's own settings.
        MainForm->RecentFiles().SetStore(kpd::RecentFiles::UserStore());
        // The searching window's construction shows the main window and runs the first search.
        const int displayMode = options.displayMode;
        const bool loadAtStart = !options.dataFile.empty();
        const int port = options.port;
        MainForm->Startup = new TStartup(MainForm, [MainForm, displayMode, loadAtStart, port](TStartup *startup) {
            MainForm->Startup = startup;
            MainForm->show();
            MainForm->session().Search(port); // 0: all ports
            // File > Load's command: it waits until the search has settled (also after a retry) and any
            // worker has ended, then shows the file in its display mode (in demo mode without electronics).
            if (loadAtStart) MainForm->session().LoadData();
            if (displayMode >= 1 && displayMode <= 3) {
                // The menu's view item of the mode, once the search has settled.
                QTimer::singleShot(500, MainForm, [MainForm, displayMode] {
                    MainForm->session().ShowPlotMode(static_cast<kpd::DisplayMode>(displayMode),
                                                     kpd::CmdShowEncoderSignal + displayMode - 1);
                });
            }
        });
        kpd::CreateDialogs(MainForm);

        if (!options.screenshotFile.empty()) {
            const QString file = QString::fromStdString(options.screenshotFile);
            QTimer::singleShot(options.screenshotAfterMs, MainForm, [MainForm, file] {
                if (!MainForm->grab().save(file, "PNG"))
                    std::fprintf(stderr, "KPD: cannot write the screenshot %s\n",
                                 file.toLocal8Bit().constData());
            });
        }
        if (!options.showWindow.empty()) {
            // After the search and the display mode's switch (500 ms, then its command's 500 ms).
            const std::string window = options.showWindow;
            QTimer::singleShot(options.displayMode >= 1 ? 1600 : 600, MainForm,
                               [MainForm, window] { kpd::ShowWindow(*MainForm, window); });
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
