// Test entry for the application tests: a QApplication on the offscreen platform, a private serial port
// directory (so the search reaches only the simulators the tests start) and a private install directory.
#include <SimulatorPortDir.h>

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The port directory in SENSLINK_PORT_DIR, set before the first OpenPort of the process.
    if (kpdtest::SimulatorPortDir().empty()) return 1;
    QTemporaryDir installDir;
    if (!installDir.isValid()) return 1;
    setenv("KPD_INSTALL_DIR", installDir.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
