// An exception that leaves an event handler shows the standard error box with its message, and the
// program goes on handling events.
#include "program/KpdApplication.h"

#include "platform/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class ThrowingObject : public QObject {
public:
    int handled = 0;
    bool event(QEvent *e) override {
        if (e->type() == QEvent::User) {
            ++handled;
            throw std::runtime_error("Cannot read the register table.");
        }
        return QObject::event(e);
    }
};

TEST(KpdApplication, AnExceptionFromAHandlerIsShownAndTheProgramGoesOn) {
    platform::ScriptedDialogs dialogs;
    platform::ScopedDialogs scope(dialogs);
    ThrowingObject target;
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(target.handled, 1);
    ASSERT_EQ(dialogs.Questions().size(), 1u);
    EXPECT_EQ(dialogs.Questions()[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(dialogs.Questions()[0].text, "Cannot read the register table.");

    // Later events are still delivered: a timer fires and a second throwing event is handled again.
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    QCoreApplication::postEvent(&target, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(fired);
    EXPECT_EQ(target.handled, 2);
    EXPECT_EQ(dialogs.Questions().size(), 2u);
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    KpdApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
