// Every way of closing the engineering display runs its close handling once: Esc, the window's close
// button, accept and reject.
#include "AppTestSupport.h"

#include "session/StatusController.h"
#include "windows/TEngineeringDisplay.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

void ExpectClosedOnce(const std::function<void(TEngineeringDisplay &)> &closeIt) {
    TEngineeringDisplay d;
    QSignalSpy closed(&d, &TEngineeringDisplay::Closed);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    closeIt(d);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(closed.count(), 1);
    // Closing a hidden window again changes nothing.
    d.close();
    EXPECT_EQ(closed.count(), 1);
}

TEST(EngineeringDisplayClose, EscapeRunsTheCloseHandling) {
    ExpectClosedOnce([](TEngineeringDisplay &d) { QTest::keyClick(&d, Qt::Key_Escape); });
}

TEST(EngineeringDisplayClose, CloseButtonRunsTheCloseHandling) {
    ExpectClosedOnce([](TEngineeringDisplay &d) { d.close(); });
}

TEST(EngineeringDisplayClose, AcceptAndRejectRunTheCloseHandling) {
    ExpectClosedOnce([](TEngineeringDisplay &d) { d.accept(); });
    ExpectClosedOnce([](TEngineeringDisplay &d) { d.reject(); });
}

} // namespace

namespace {

// F6 shows the engineering display; Esc closes it, and the session leaves display mode 4 and starts the
// status monitor again.
TEST(EngineeringDisplayClose, EscapeReturnsTheMainWindowToTheStatusDisplayAndItsMonitor) {
    apptest::Harness h;
    TMainForm &f = *h.form;
    f.EngineeringDisplay = new TEngineeringDisplay(&f);
    apptest::SimulatedElectronics electronics;
    ASSERT_TRUE(apptest::ConnectStopped(f));
    f.show();
    f.session().States().Set(kpd::DisplayMode::Status, kpd::DataState::Live);

    f.session().ShowEngineering();
    ASSERT_TRUE(apptest::WaitUntil([&] { return f.EngineeringDisplay->isVisible(); }, 5000));
    EXPECT_EQ(f.session().Mode(), kpd::DisplayMode::Engineering);

    QTest::keyClick(f.EngineeringDisplay, Qt::Key_Escape);
    EXPECT_FALSE(f.EngineeringDisplay->isVisible());
    ASSERT_TRUE(apptest::WaitUntil([&] { return f.session().Mode() == kpd::DisplayMode::Status; }, 5000));
    EXPECT_TRUE(apptest::WaitUntil([&] { return f.session().Status().WorkerActive(); }, 5000));
    EXPECT_TRUE(apptest::StopWorkers(f));
}

} // namespace
