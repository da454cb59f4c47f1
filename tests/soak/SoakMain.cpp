// kpd_fault_soak: runs the program headless against simulated electronics whose faults switch at random,
// with a random user and random dialog answers, for a given time, and fails on a crash, a sanitizer report,
// a hang, a saved file that does not load back, or a recording that holds records the electronics did not
// send (see FaultSoak.h).
//
//   kpd_fault_soak [--seconds S | --minutes M] [--seed N] [--verbose]
//
// The seed is printed at the start; the same seed gives the same choices (timing still varies).
#include "FaultSoak.h"

#include "SimulatorPortDir.h"
#include "program/KpdApplication.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtGlobal>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

// The offscreen platform's notes about what it cannot do (raise a window, ...) say nothing about the
// program; everything else Qt reports goes to stderr as usual.
QtMessageHandler previousHandler = nullptr;
void FilterQtMessages(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    if (type == QtWarningMsg && message.startsWith("This plugin does not support")) return;
    if (previousHandler) previousHandler(type, context, message);
}

void Usage() {
    std::fprintf(stderr, "usage: kpd_fault_soak [--seconds S | --minutes M] [--seed N] [--verbose]\n");
}

bool ParseNumber(const char *text, double &v) {
    const char *end = text + std::strlen(text);
    const auto r = std::from_chars(text, end, v);
    return r.ec == std::errc() && r.ptr == end && v > 0;
}

} // namespace

int main(int argc, char **argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // the progress lines as they come, also into a file
    soak::SoakOptions options;
    bool seeded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        double v = 0;
        if ((a == "--seconds" || a == "--minutes") && hasValue && ParseNumber(argv[i + 1], v)) {
            options.seconds = a == "--seconds" ? v : v * 60;
            ++i;
        } else if (a == "--seed" && hasValue) {
            const char *t = argv[++i];
            const auto r = std::from_chars(t, t + std::strlen(t), options.seed);
            if (r.ec != std::errc() || *r.ptr != '\0') {
                Usage();
                return 2;
            }
            seeded = true;
        } else if (a == "--verbose") {
            options.verbose = true;
        } else {
            Usage();
            return 2;
        }
    }
    if (!seeded) {
        std::random_device rd;
        options.seed = (uint64_t{rd()} << 32 | rd()) ^
                       static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    }

    // Headless, with a private serial port directory (only the soak's electronics are there) and private
    // install and data folders.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::string &portDir = kpdtest::SimulatorPortDir();
    QTemporaryDir installDir;
    QTemporaryDir dataDir;
    if (portDir.empty() || !installDir.isValid() || !dataDir.isValid()) {
        std::fprintf(stderr, "fault soak: cannot create its temporary folders\n");
        return 2;
    }
    ::setenv("KPD_INSTALL_DIR", installDir.path().toLocal8Bit().constData(), 1);

    previousHandler = qInstallMessageHandler(FilterQtMessages);
    KpdApplication app(argc, argv);
    QApplication::setApplicationName("Tessaly II Software for KPD Alignment Tool");
    std::printf("fault soak: %.0f s, seed %llu (replay with --seed %llu)\n", options.seconds,
                static_cast<unsigned long long>(options.seed), static_cast<unsigned long long>(options.seed));
    std::fflush(stdout);

    soak::FaultSoak soak(options, portDir, dataDir.path().toStdString());
    if (!soak.Start()) return 2;
    app.exec();
    return soak.Finish();
}
