// Test entry with an application object: workers hand their samples over to this (main) thread and the
// session's timers run here while the tests wait with the event loop running.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
