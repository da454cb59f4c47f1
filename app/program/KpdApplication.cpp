#include "program/KpdApplication.h"

#include "platform/Dialogs.h"

#include <exception>

bool KpdApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        platform::ShowMessage(platform::MessageKind::Error, e.what(), platform::MessageButtons::Ok);
    } catch (...) {
        platform::ShowMessage(platform::MessageKind::Error, "Unknown error.", platform::MessageButtons::Ok);
    }
    return false;
}
