// Test entry with an application object: the monitor hands its samples over to this (main) thread and
// its termination handlers run here, while the tests wait with the event loop running.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
