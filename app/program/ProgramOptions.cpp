#include "program/ProgramOptions.h"

#include "platform/VersionInfo.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <utility>

namespace kpd {

namespace {

bool ParseMilliseconds(const std::string &v, int &ms) {
    ms = -1;
    const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), ms);
    return !v.empty() && ec == std::errc() && ptr == v.data() + v.size() && ms >= 0;
}

int DisplayModeOf(const std::string &v) {
    static const char *const names[4] = {"status", "encoder", "strength", "plots"};
    for (int m = 0; m < 4; ++m)
        if (v == names[m] || v == std::to_string(m)) return m;
    return -1;
}

// Qt's own options of a widgets program (QGuiApplication, QApplication and the xcb platform), taken from
// the command line by the application object. They are known here so that they are not refused, and not
// shown by --help.
const char *const kQtValueOptions[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                       "qmljsdebugger", "qwindowgeometry", "qwindowicon", "qwindowtitle",
                                       "session", "style", "stylesheet", "display", "geometry", "title",
                                       "name", "visual", "ncols", "cmap", "fontengine"};
const char *const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

const QCommandLineOption kHelp({"h", "help"}, "Show these options and end.");
const QCommandLineOption kVersion({"v", "version"}, "Show the program's version and end.");
const QCommandLineOption kMode("mode",
                               "Open this display mode after the search for the electronics: status, encoder "
                               "(encoder signal), strength (signal strength) or plots (signal plots); also "
                               "0 to 3.",
                               "mode");
const QCommandLineOption kPort("port",
                               "Connect to the electronics on COM <n> (1 to 256) without searching the other "
                               "ports; when they do not answer, the usual question follows and Retry searches "
                               "all ports.",
                               "n");
const QCommandLineOption kScreenshot("screenshot", "Write a PNG picture of the main window to <file>.", "file");
const QCommandLineOption kScreenshotAfter("screenshot-after",
                                          "Take the screenshot <ms> milliseconds after the start (default "
                                          "1500).",
                                          "ms");
const QCommandLineOption kQuitAfter("quit-after",
                                    "Close the program after <ms> milliseconds, saving the settings as a "
                                    "normal shutdown does; every message box gets its cancel-side button, so "
                                    "the run never waits for a user.",
                                    "ms");

const QCommandLineOption kShow("show",
                               "Open a window after the search (and the display mode): settings, units, "
                               "plot-options (in a plot mode), alarms, info, about, engineering or "
                               "engineering-setup; for screenshots of the windows.",
                               "window");

void Declare(QCommandLineParser &p) {
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions); // -platform, like Qt itself
    p.setApplicationDescription(
        "Set-up, alignment, calibration and monitoring tool for the KPD Digital Sensor read head.\n"
        "KPD searches the serial ports for the electronics at start and works in demo mode when none "
        "answer.\nQt's own options, such as -platform NAME or -style NAME, are accepted as well.");
    p.addOption(kHelp);
    p.addOption(kVersion);
    p.addOption(kMode);
    p.addOption(kPort);
    p.addOption(kScreenshot);
    p.addOption(kScreenshotAfter);
    p.addOption(kQuitAfter);
    p.addOption(kShow);
    for (const char *name : kQtValueOptions) {
        QCommandLineOption o(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(o);
    }
    for (const char *name : kQtFlagOptions) {
        QCommandLineOption o(QString::fromLatin1(name), QString());
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(o);
    }
    p.addPositionalArgument("file",
                            "A recorded data file (.man setup and status, .lis encoder signal, .str signal "
                            "strength, .pos position and velocity) to show in its display mode at start, as "
                            "File > Load does.",
                            "[file]");
}

bool Readable(const std::string &file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    std::ifstream in(file, std::ios::binary);
    return static_cast<bool>(in);
}

} // namespace

ProgramOptions ParseProgramOptions(const std::vector<std::string> &args) {
    ProgramOptions o;
    QCommandLineParser p;
    Declare(p);
    QStringList list{QStringLiteral("KPD")};
    for (const std::string &a : args)
        list << QString::fromLocal8Bit(a.data(), static_cast<qsizetype>(a.size()));
    if (!p.parse(list)) {
        o.error = p.errorText().toStdString();
        return o;
    }
    if (p.isSet(kHelp)) {
        o.action = ProgramOptions::Action::Help;
        return o;
    }
    if (p.isSet(kVersion)) {
        o.action = ProgramOptions::Action::Version;
        return o;
    }
    if (p.isSet(kMode)) {
        const int m = DisplayModeOf(p.value(kMode).toStdString());
        if (m < 0) {
            o.error = "--mode needs status, encoder, strength or plots (or 0..3), not \"" +
                      p.value(kMode).toStdString() + "\"";
            return o;
        }
        o.displayMode = m;
    }
    if (p.isSet(kShow)) {
        o.showWindow = p.value(kShow).toStdString();
        const auto &names = ShowableWindows();
        if (std::find(names.begin(), names.end(), o.showWindow) == names.end()) {
            o.error = "--show needs one of settings, units, plot-options, alarms, info, about, engineering "
                      "or engineering-setup, not \"" + o.showWindow + "\"";
            return o;
        }
    }
    if (p.isSet(kPort)) {
        const std::string value = p.value(kPort).toStdString();
        int port = 0;
        const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), port);
        if (value.empty() || ec != std::errc() || ptr != value.data() + value.size() || port < 1 || port > 256) {
            o.error = "--port needs a port number from 1 to 256, not \"" + value + "\"";
            return o;
        }
        o.port = port;
    }
    if (p.isSet(kScreenshot)) {
        o.screenshotFile = p.value(kScreenshot).toStdString();
        if (o.screenshotFile.empty()) {
            o.error = "--screenshot needs a file name";
            return o;
        }
    }
    for (const auto &[option, target] : {std::pair{&kScreenshotAfter, &o.screenshotAfterMs},
                                         std::pair{&kQuitAfter, &o.quitAfterMs}}) {
        if (!p.isSet(*option)) continue;
        const std::string value = p.value(*option).toStdString();
        int ms = -1;
        if (!ParseMilliseconds(value, ms)) {
            o.error = "--" + option->names().constFirst().toStdString() +
                      " needs a number of milliseconds, not \"" + value + "\"";
            return o;
        }
        *target = ms;
    }
    const QStringList files = p.positionalArguments();
    if (files.size() > 1) {
        o.error = "only one data file can be opened at start";
        return o;
    }
    if (files.size() == 1) {
        const std::string file = files.front().toLocal8Bit().toStdString();
        if (!Readable(file)) {
            o.error = "cannot read the data file \"" + file + "\"";
            return o;
        }
        if (p.isSet(kMode)) {
            o.error = "--mode cannot be combined with a data file: the file's kind chooses the display mode";
            return o;
        }
        std::error_code ec;
        const auto absolute = std::filesystem::absolute(file, ec);
        o.dataFile = ec ? file : absolute.string();
    }
    return o;
}

const std::vector<std::string> &ShowableWindows() {
    static const std::vector<std::string> names{"settings", "units",       "plot-options", "alarms",
                                                "info",     "about",       "engineering",  "engineering-setup"};
    return names;
}

std::string ProgramHelpText() {
    QCommandLineParser p;
    Declare(p);
    QString text = p.helpText();
    // The parser names the program by the path it was started with, or not at all before the application
    // object exists: the usage line names it KPD.
    const qsizetype end = text.indexOf('\n');
    text = QStringLiteral("Usage: KPD [options] [file]") + (end >= 0 ? text.mid(end) : QString());
    return text.toStdString();
}

std::string ProgramVersionText() {
    const std::string version = platform::QueryVersionString(platform::kFileVersionPath).value_or("");
    const std::string product = platform::QueryVersionString(platform::kProductNamePath).value_or("");
    return "KPD " + version + "\n" + product + "\n";
}

} // namespace kpd
