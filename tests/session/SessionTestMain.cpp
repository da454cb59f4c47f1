// Test entry for the session tests: a QCoreApplication on the offscreen platform (timers and queued
// calls work without a display) and a private, empty serial port directory, so a search reaches no
// device of the machine and ends in the "Cannot Detect Electronics..." box.
#include <SimulatorPortDir.h>

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Sets SENSLINK_PORT_DIR before the first port of the process is opened.
    if (kpdtest::SimulatorPortDir().empty()) return 1;
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
