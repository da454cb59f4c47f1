// kpdctl: the KPD electronics from a terminal and from scripts (see kpdctl --help). Runs without a
// display: QtCore only (plot paints on the offscreen platform).
#include "kpdctl/CtlCommands.h"
#include "kpdctl/CtlOptions.h"
#include "kpdctl/CtlOutput.h"
#include "kpdctl/ExitCode.h"
#include "kpdctl/Interrupt.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <clocale>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char **argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const kpdctl::ParseResult parsed = kpdctl::ParseArguments(args);
    if (!parsed.ok) {
        kpdctl::CtlOutput out(parsed.options.json);
        out.Error(parsed.error, kpdctl::ExitUsage);
        if (!parsed.options.json)
            std::fputs("Usage: kpdctl COMMAND [ARGUMENTS] [OPTIONS]; kpdctl --help lists them.\n", stderr);
        return kpdctl::ExitUsage;
    }
    if (parsed.options.command == kpdctl::CommandKind::Help) {
        std::fputs(kpdctl::HelpText().c_str(), stdout);
        return kpdctl::ExitOk;
    }
    kpdctl::interrupt::Install();
    // plot paints text into a picture: a QGuiApplication on the offscreen platform, never a display.
    std::unique_ptr<QCoreApplication> app;
    if (parsed.options.command == kpdctl::CommandKind::Plot) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    std::setlocale(LC_NUMERIC, "C"); // numbers in files and output with "." whatever the user's locale
    kpdctl::CtlOutput out(parsed.options.json);
    return kpdctl::RunCommand(parsed.options, out);
}
