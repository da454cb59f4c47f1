// Every way of closing the engineering display runs its close handling once: Esc, the window's close
// button, accept and reject.
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
